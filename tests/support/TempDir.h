// A temporary folder for one test, removed with everything in it when the test ends.
#pragma once

#include <string>
#include <vector>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Reads and writes whole files as bytes.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool PathExists(const std::string& path);
// The files of a folder tree, sorted, as paths; empty when the folder is missing.
std::vector<std::string> FilesUnder(const std::string& folder);
