#include "app/update/UpdateWorker.h"

#include "app/device/WorkerCommands.h"

#include <utility>

CUpdateWorker::CUpdateWorker(Runner run)
    : m_run(std::move(run)), m_wakeEvent(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      m_stopEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
}

CUpdateWorker::~CUpdateWorker()
{
    if (!Stop())
    {
        TerminateProcess(GetCurrentProcess(), 0);
    }
}

void CUpdateWorker::Start()
{
    if (m_thread || !m_wakeEvent || !m_stopEvent)
    {
        return;
    }
    m_stopping.store(false);
    ResetEvent(m_stopEvent.get());
    m_thread.reset(CreateThread(nullptr, 0, &CUpdateWorker::ThreadProc, this, 0, nullptr));
}

void CUpdateWorker::Append(int command)
{
    if (!IsUpdateCommand(command))
    {
        return;
    }
    m_commands.Append(command);
    SetEvent(m_wakeEvent.get());
}

bool CUpdateWorker::Stop(DWORD waitMs)
{
    if (!m_thread)
    {
        return true;
    }
    m_stopping.store(true);
    SetEvent(m_stopEvent.get());
    SetEvent(m_wakeEvent.get());
    if (WaitForSingleObject(m_thread.get(), waitMs) != WAIT_OBJECT_0)
    {
        return false;
    }
    m_thread.reset();
    return true;
}

DWORD WINAPI CUpdateWorker::ThreadProc(LPVOID object)
{
    static_cast<CUpdateWorker*>(object)->Run();
    return 0;
}

void CUpdateWorker::Run()
{
    while (!m_stopping.load())
    {
        if (const std::optional<int> command = m_commands.TakeFirst())
        {
            m_run(*command);
            continue;
        }
        // Append sets the event after queueing, so a command added since the look above still
        // wakes this wait.
        WaitForSingleObject(m_wakeEvent.get(), INFINITE);
    }
}
