// The engine's lock and scope guard.
#include "recording/CriticalSectionLock.h"

void CCriticalSectionLock::Lock() { m_mutex.lock(); }

void CCriticalSectionLock::Unlock() { m_mutex.unlock(); }

namespace {
// Built on first use, so no other static's constructor can find it missing.
CCriticalSectionLock& ProcessLock() {
    static CCriticalSectionLock lock;
    return lock;
}
}  // namespace

CScopedLock::CScopedLock(CCriticalSectionLock* lock) : m_lock(lock ? lock : &ProcessLock()) { m_lock->Lock(); }

CScopedLock::~CScopedLock() { m_lock->Unlock(); }
