// The file-size limit used to stand in for a full disk.
#include "tests/support/FileSizeLimit.h"

ScopedFileSizeLimit::ScopedFileSizeLimit(rlim_t bytes) {
    if (getrlimit(RLIMIT_FSIZE, &m_saved) != 0) return;
    // Without this the kernel kills the process instead of failing the write.
    m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = m_saved;
    limited.rlim_cur = bytes;
    m_active = setrlimit(RLIMIT_FSIZE, &limited) == 0;
}

void ScopedFileSizeLimit::Lift() {
    if (!m_active) return;
    setrlimit(RLIMIT_FSIZE, &m_saved);
    std::signal(SIGXFSZ, m_savedHandler);
    m_active = false;
}
