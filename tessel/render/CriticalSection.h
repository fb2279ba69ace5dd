#pragma once

#include <windows.h>

namespace Tessel
{

// A Win32 critical section (re-entrant on its own thread), created and deleted with its owner.
class CriticalSection
{
public:
    CriticalSection() noexcept { ::InitializeCriticalSection(&m_cs); }
    ~CriticalSection() { ::DeleteCriticalSection(&m_cs); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Lock() noexcept { ::EnterCriticalSection(&m_cs); }
    void Unlock() noexcept { ::LeaveCriticalSection(&m_cs); }

private:
    CRITICAL_SECTION m_cs;
};

// Holds a critical section for one scope.
class CsLock
{
public:
    explicit CsLock(CriticalSection& cs) noexcept : m_cs(cs) { m_cs.Lock(); }
    ~CsLock() { m_cs.Unlock(); }
    CsLock(const CsLock&) = delete;
    CsLock& operator=(const CsLock&) = delete;

private:
    CriticalSection& m_cs;
};

} // namespace Tessel
