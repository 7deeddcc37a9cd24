// CCriticalSectionLock and CScopedLock: the recording engine's lock and its scope guard.
#pragma once

#include <mutex>

// Recursive, as the engine expects: a data handler may call back into the device it runs under.
class CCriticalSectionLock {
public:
    CCriticalSectionLock() = default;
    virtual ~CCriticalSectionLock() = default;
    CCriticalSectionLock(const CCriticalSectionLock&) = delete;
    CCriticalSectionLock& operator=(const CCriticalSectionLock&) = delete;

    virtual void Lock();
    virtual void Unlock();

private:
    std::recursive_mutex m_mutex;
};

// Holds a lock for its scope; a null lock means the one process-wide lock.
class CScopedLock {
public:
    explicit CScopedLock(CCriticalSectionLock* lock);
    ~CScopedLock();
    CScopedLock(const CScopedLock&) = delete;
    CScopedLock& operator=(const CScopedLock&) = delete;

private:
    CCriticalSectionLock* m_lock;
};
