// A temporary folder in /dev/shm when that is another file system.
#include "tests/support/OtherFileSystemDir.h"

#include <filesystem>
#include <stdlib.h>
#include <sys/stat.h>

OtherFileSystemDir::OtherFileSystemDir(const std::string& near) {
    struct stat nearStat {}, shmStat {};
    if (stat(near.c_str(), &nearStat) != 0 || stat("/dev/shm", &shmStat) != 0 || nearStat.st_dev == shmStat.st_dev)
        return;
    char pattern[] = "/dev/shm/velsona-test-XXXXXX";
    if (mkdtemp(pattern)) m_path = pattern;
}

OtherFileSystemDir::~OtherFileSystemDir() {
    std::error_code ignored;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
}
