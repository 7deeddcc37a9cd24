// The fuzzer's bytes on disk, in one private folder per process.
#include "fuzz/FuzzFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

const std::string& Folder() {
    static const std::string folder = [] {
        const char* base = getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/velsona-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) abort();
        atexit([] { rmdir(Folder().c_str()); });
        return pattern;
    }();
    return folder;
}

}  // namespace

CFuzzFile::CFuzzFile(const uint8_t* data, size_t size, const char* extension) {
    static time_t stamp = 0;
    m_name = Folder() + "/input" + extension;
    FILE* file = fopen(m_name.c_str(), "wb");
    if (!file || fwrite(data, 1, size, file) != size || fclose(file) != 0) abort();
    ++stamp;
    const timespec times[2] = {{stamp, 0}, {stamp, 0}};
    if (utimensat(AT_FDCWD, m_name.c_str(), times, 0) != 0) abort();
}

CFuzzFile::~CFuzzFile() {
    // Everything in the folder belongs to this input: the file, a ".vctemp" copy, a lock file.
    if (DIR* dir = opendir(Folder().c_str())) {
        while (const dirent* entry = readdir(dir))
            if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
                unlink((Folder() + "/" + entry->d_name).c_str());
        closedir(dir);
    }
}
