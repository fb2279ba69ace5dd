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
    m_wakeEvent.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!m_stopEvent || !m_wakeEvent)
    {
        m_stopEvent.reset();
        m_wakeEvent.reset();
        return;
    }
    m_running.store(1);
    KernelHandle thread(CreateThread(nullptr, 0, &CThreadBasic::ThreadProc, this, 0, nullptr));
    if (!thread)
    {
        // Without a thread no one would ever signal the stop event.
        m_running.store(0);
        m_stopEvent.reset();
        m_wakeEvent.reset();
    }
}

void CThreadBasic::Stop()
{
    if (m_running.load() != 1)
    {
        return;
    }
    m_running.store(0);
    SetEvent(m_wakeEvent.get());
    if (WaitForSingleObject(m_stopEvent.get(), kStopWaitMs) != WAIT_OBJECT_0)
    {
        TerminateProcess(GetCurrentProcess(), 0);
    }
    m_stopEvent.reset();
    m_wakeEvent.reset();
}

bool CThreadBasic::PauseFor(DWORD ms)
{
    // A work step driven on its own, without a started thread, has nothing to pause for.
    if (!m_wakeEvent)
    {
        return false;
    }
    return WaitForSingleObject(m_wakeEvent.get(), ms) == WAIT_TIMEOUT;
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
            PauseFor(m_pause);
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
