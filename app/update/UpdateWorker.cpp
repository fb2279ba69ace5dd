#include "app/update/UpdateWorker.h"

#include "app/device/WorkerCommands.h"
#include "app/platform/ProgramLog.h"

#include <utility>

UpdateWorker::UpdateWorker(Runner run)
    : m_run(std::move(run)), m_wakeEvent(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      m_stopEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
}

UpdateWorker::~UpdateWorker()
{
    if (!Stop())
    {
        TerminateProcess(GetCurrentProcess(), 0);
    }
}

void UpdateWorker::Start()
{
    if (m_thread || !m_wakeEvent || !m_stopEvent)
    {
        return;
    }
    m_stopping.store(false);
    ResetEvent(m_stopEvent.get());
    m_thread.reset(CreateThread(nullptr, 0, &UpdateWorker::ThreadProc, this, 0, nullptr));
}

void UpdateWorker::Append(const UpdateCommand& command)
{
    if (!IsUpdateCommand(command.id))
    {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_commandsMutex);
        m_commands.push_back(command);
    }
    SetEvent(m_wakeEvent.get());
}

std::size_t UpdateWorker::PendingCommands() const
{
    std::lock_guard<std::mutex> lock(m_commandsMutex);
    return m_commands.size();
}

std::optional<UpdateCommand> UpdateWorker::TakeFirst()
{
    std::lock_guard<std::mutex> lock(m_commandsMutex);
    if (m_commands.empty())
    {
        return std::nullopt;
    }
    UpdateCommand command = std::move(m_commands.front());
    m_commands.pop_front();
    return command;
}

bool UpdateWorker::Stop(DWORD waitMs)
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

DWORD WINAPI UpdateWorker::ThreadProc(LPVOID object)
{
    static_cast<UpdateWorker*>(object)->Run();
    return 0;
}

void UpdateWorker::Run()
{
    ProgramLog::NameThisThread("update");
    while (!m_stopping.load())
    {
        if (const std::optional<UpdateCommand> command = TakeFirst())
        {
            m_run(*command);
            continue;
        }
        // Append sets the event after queueing, so a command added since the look above still
        // wakes this wait.
        WaitForSingleObject(m_wakeEvent.get(), INFINITE);
    }
}
