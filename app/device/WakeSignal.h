#pragma once

#include <windows.h>

// A wake-up call for one waiting thread, kept until that thread takes it: a Wake that comes just
// before the wait still ends it. Built on a slim reader/writer lock and a condition variable rather
// than an event, because under Wine every wait on a kernel object is a round trip to the wineserver
// (two processes woken), while this one sleeps in the kernel's futex and wakes only the waiter.
class WakeSignal
{
public:
    WakeSignal() = default;
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;

    // Any thread.
    void Wake();
    // The waiting thread: up to ms (INFINITE: no limit). True when woken, false when the time ran
    // out. Takes the wake-up either way, so the next wait sleeps again.
    bool WaitFor(DWORD ms);
    // Forgets a wake-up nobody took.
    void Clear();

private:
    SRWLOCK m_lock = SRWLOCK_INIT;
    CONDITION_VARIABLE m_woken = CONDITION_VARIABLE_INIT;
    bool m_pending = false; // guarded by m_lock: any thread sets it, the waiting thread clears it
};
