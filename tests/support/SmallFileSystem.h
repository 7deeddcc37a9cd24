// A small tmpfs over a temporary folder, for running a disk full; needs the right to mount.
#pragma once

#include <cstddef>
#include <string>

#include "tests/support/TempDir.h"

class SmallFileSystem {
public:
    explicit SmallFileSystem(size_t bytes);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    // False where mounting is refused; the folder is then an ordinary one.
    bool Mounted() const { return m_mounted; }
    const std::string& path() const { return m_dir.path(); }
    std::string operator/(const std::string& name) const { return m_dir / name; }
    // Unmounts now, keeping nothing; the destructor does it too.
    void Unmount();
    // Takes every free byte with a hidden filler file.
    bool Fill();

private:
    TempDir m_dir;
    bool m_mounted = false;
};
