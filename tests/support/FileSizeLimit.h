// A file-size limit for the test process: writes past it fail as on a full disk, even as root.
#pragma once

#include <csignal>
#include <sys/resource.h>

class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes);
    ~ScopedFileSizeLimit() { Lift(); }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

    bool Active() const { return m_active; }
    // Back to the limit and signal handling found before; the destructor does it too.
    void Lift();

private:
    rlimit m_saved {};
    void (*m_savedHandler)(int) = SIG_DFL;
    bool m_active = false;
};
