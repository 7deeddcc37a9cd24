// Which module files the program loaded and from where: velsona-rec --version, velsona --version and
// the about box say the same.
#pragma once

#include <string>
#include <vector>

#include "foundation/UserText.h"

// Loads every module the way recordings and the readers load them, so each line names the file they
// use: "lame_enc.so: /usr/lib/velsona/lame_enc.so", or "WMADEC9.so: not loaded (why)".
std::vector<UserText> ModuleReport();

// "<program> <version>", the licence, then "Modules:" and the report's lines indented, one per line, said in the
// current language.
std::string VersionText(const char* program, const char* version);
