// Small text files the schedule keeps (its own file, systemd units): read whole, written atomically.
#pragma once

#include <optional>
#include <string>

#include "foundation/Result.h"

// nullopt when there is no such file; fails for a folder or a file that cannot be read.
Result<std::optional<std::string>> ReadTextFile(const std::string& path);
// Through a temporary file beside it, synced, then renamed over it; makes the folder when missing.
Result<void> WriteTextFileAtomically(const std::string& path, const std::string& text);
