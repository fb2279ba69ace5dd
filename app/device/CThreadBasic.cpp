#include "app/device/CThreadBasic.h"

void CThreadBasic::Start()
{
    if (m_running.load() == 1)
    {
        return;
    }
    m_pause = kStepPauseMs;
    m_loop = 1;
    m_stopEvent.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!m_stopEvent)
    {
        return;
    }
    // A wake-up left from the last run (its Stop) must not cut the first pause short.
    m_wake.Clear();
    m_running.store(1);
    KernelHandle thread(CreateThread(nullptr, 0, &CThreadBasic::ThreadProc, this, 0, nullptr));
    if (!thread)
    {
        // Without a thread no one would ever signal the stop event.
        m_running.store(0);
        m_stopEvent.reset();
    }
}

void CThreadBasic::Stop()
{
    if (m_running.load() != 1)
    {
        return;
    }
    m_running.store(0);
    m_wake.Wake();
    if (WaitForSingleObject(m_stopEvent.get(), kStopWaitMs) != WAIT_OBJECT_0)
    {
        TerminateProcess(GetCurrentProcess(), 0);
    }
    m_stopEvent.reset();
}

bool CThreadBasic::PauseFor(DWORD ms)
{
    // No thread to rest (a step driven on its own), or it is leaving: nothing to pause for.
    if (m_running.load() != 1)
    {
        return false;
    }
    if (ms == 0)
    {
        return true;
    }
    // Stop sets running to 0 before it wakes, so a wake-up seen here after it means: leave.
    return !m_wake.WaitFor(ms) && m_running.load() == 1;
}

DWORD WINAPI CThreadBasic::ThreadProc(LPVOID object)
{
    return static_cast<CThreadBasic*>(object)->Run();
}

DWORD CThreadBasic::Run()
{
    if (m_loop == 1)
    {
        do
        {
            WorkStep();
            PauseFor(NextPause());
        } while (m_running.load() == 1);
    }
    else
    {
        WorkStep();
    }
    // Once the event is set the owner may destroy this object: take what is still needed first.
    const DWORD exitCode = m_exitCode;
    SetEvent(m_stopEvent.get());
    return exitCode;
}
