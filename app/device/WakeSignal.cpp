#include "app/device/WakeSignal.h"

void WakeSignal::Wake()
{
    AcquireSRWLockExclusive(&m_lock);
    m_pending = true;
    ReleaseSRWLockExclusive(&m_lock);
    WakeConditionVariable(&m_woken);
}

bool WakeSignal::WaitFor(DWORD ms)
{
    const ULONGLONG start = GetTickCount64();
    AcquireSRWLockExclusive(&m_lock);
    // The condition variable may also wake for nothing: sleep again for what is left.
    while (!m_pending)
    {
        DWORD left = INFINITE;
        if (ms != INFINITE)
        {
            const ULONGLONG passed = GetTickCount64() - start;
            if (passed >= ms)
                break;
            left = static_cast<DWORD>(ms - passed);
        }
        // Fails on time-out (or, never seen, for another reason): either way the wait is over.
        if (!SleepConditionVariableSRW(&m_woken, &m_lock, left, 0))
            break;
    }
    const bool woken = m_pending;
    m_pending = false;
    ReleaseSRWLockExclusive(&m_lock);
    return woken;
}

void WakeSignal::Clear()
{
    AcquireSRWLockExclusive(&m_lock);
    m_pending = false;
    ReleaseSRWLockExclusive(&m_lock);
}
