// What mutagen, an independent tag library, reads from our files and writes into them.
#pragma once

#include <map>
#include <string>

// Every tag value mutagen reads, as "key" -> "Type:value" (several values joined by "|").
// Empty when mutagen cannot read the file.
std::map<std::string, std::string> ReadTagsWithMutagen(const std::string& path);
// Runs a Python snippet with mutagen where `path` holds the file's path; true when it exits 0.
bool RunMutagen(const std::string& path, const std::string& snippet);
// What such a snippet prints; empty when it fails.
std::string MutagenOutput(const std::string& path, const std::string& snippet);
