// The small tmpfs for full-disk tests.
#include "tests/support/SmallFileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

SmallFileSystem::SmallFileSystem(size_t bytes) {
    const std::string options = "size=" + std::to_string(bytes);
    m_mounted = mount("tmpfs", path().c_str(), "tmpfs", 0, options.c_str()) == 0;
}

SmallFileSystem::~SmallFileSystem() { Unmount(); }

void SmallFileSystem::Unmount() {
    if (m_mounted) umount2(path().c_str(), MNT_DETACH);
    m_mounted = false;
}

bool SmallFileSystem::Fill() {
    const int fd = open((m_dir / ".filler").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    static const char kBlock[4096] = {};
    // Page by page, then byte by byte, until not one more fits.
    for (size_t chunk = sizeof kBlock; chunk > 0; chunk /= 2)
        while (write(fd, kBlock, chunk) == static_cast<ssize_t>(chunk)) {}
    const bool full = errno == ENOSPC;
    close(fd);
    return full;
}
