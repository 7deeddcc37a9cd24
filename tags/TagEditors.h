// The tag editor of each output format.
#pragma once

#include <memory>

#include "tags/OutputFormat.h"
#include "tags/TagFile.h"

// A new editor for files of `format`, not yet opened.
std::unique_ptr<CTagFile> NewTagEditor(OutputFormat format);
