// A temporary folder on a different file system than a given path, for cross-device moves.
#pragma once

#include <string>

class OtherFileSystemDir {
public:
    // Tries /dev/shm (tmpfs); path() stays empty when it is missing or on `near`'s file system.
    explicit OtherFileSystemDir(const std::string& near);
    ~OtherFileSystemDir();
    OtherFileSystemDir(const OtherFileSystemDir&) = delete;
    OtherFileSystemDir& operator=(const OtherFileSystemDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};
