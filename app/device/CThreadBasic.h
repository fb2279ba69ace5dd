#pragma once

#include "app/device/WakeSignal.h"
#include "app/platform/KernelHandle.h"

#include <windows.h>

#include <atomic>

// One worker thread that runs the derived class's work step, repeatedly with a pause between
// steps, until its owner stops it. The owner (the main dialog) starts and stops it from the window
// thread and must stop it before its own members go away.
class CThreadBasic
{
public:
    static constexpr DWORD kStepPauseMs = 16;
    static constexpr DWORD kStopWaitMs = 1000;

    CThreadBasic(const CThreadBasic&) = delete;
    CThreadBasic& operator=(const CThreadBasic&) = delete;

    // Window thread. Does nothing while the thread runs. A thread that cannot be created leaves
    // the object stopped, so the queued work simply waits.
    void Start();

    // Window thread. Asks the worker to leave its loop, cuts short its pauses and waits up to
    // kStopWaitMs for it. A worker still inside a long step after that would go on using members
    // that the owner is about to destroy, so the process ends there, with exit code 0, as the
    // tray's exit ends it.
    void Stop();

    bool IsRunning() const { return m_running.load() == 1; }

protected:
    CThreadBasic() = default;
    // Not virtual: the object is never deleted through this base. Stopping here only protects
    // this base's own members; a derived class stops in its own destructor first.
    ~CThreadBasic() { Stop(); }

    // Worker thread: one unit of work.
    virtual void WorkStep() = 0;
    // Worker thread: how long to rest after a step, in ms (INFINITE: until woken); kStepPauseMs
    // unless the derived class knows better.
    virtual DWORD NextPause() { return m_pause; }

    // Any thread: cuts short the worker's current or next pause, so new work is taken at once.
    void WakeWorker() { m_wake.Wake(); }
    // Worker thread: sleeps up to ms, waking early on WakeWorker or Stop. True when the whole time
    // passed; false when woken, or at once when no thread runs (a step driven on its own).
    bool PauseFor(DWORD ms);
    bool IsStopRequested() const { return m_running.load() != 1; }

private:
    static DWORD WINAPI ThreadProc(LPVOID object);
    DWORD Run();

    KernelHandle m_stopEvent;      // window thread creates and closes; worker signals it on leaving
    std::atomic<int> m_running{0}; // window thread writes; worker reads after every step
    int m_loop = 0;                // set by Start before the thread exists; worker reads
    DWORD m_pause = 1;             // likewise
    DWORD m_exitCode = 0;          // likewise
    WakeSignal m_wake;             // any thread wakes, the worker waits (locked inside)
};
