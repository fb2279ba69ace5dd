#include "app/core/SensorServerLauncher.h"

#include "app/core/ProgramFolder.h"
#include "app/core/SensorServer.h"
#include "app/core/WindowsVersion.h"
#include "app/platform/KernelHandle.h"
#include "app/platform/LogLine.h"
#include "app/platform/ProgramLog.h"

#include <windows.h>

#include <string>

// One started server. process and processId are set before the wait is registered and never
// change, so the wait thread's callback reads them without a lock.
struct SensorServerLauncher::Watched
{
    KernelHandle process;
    DWORD processId = 0;
    HANDLE wait = nullptr; // the wait registration; window thread only

    ~Watched()
    {
        // INVALID_HANDLE_VALUE: returns once a callback in progress has finished.
        if (wait)
            UnregisterWaitEx(wait, INVALID_HANDLE_VALUE);
    }

    static void CALLBACK OnExit(void* context, BOOLEAN)
    {
        const auto* watched = static_cast<const Watched*>(context);
        DWORD code = 0;
        const std::string exit = GetExitCodeProcess(watched->process.get(), &code)
                                     ? "code=" + std::to_string(code)
                                     : "code=unknown error=" + std::to_string(GetLastError());
        ProgramLog::Write("sensor-server-exit", "pid=" + std::to_string(watched->processId) + " " + exit);
    }
};

SensorServerLauncher::SensorServerLauncher() = default;

SensorServerLauncher::~SensorServerLauncher() = default;

void SensorServerLauncher::Launch(std::string_view event, std::string_view details)
{
    ForgetEnded();
    const std::wstring path = SensorServerPath(GetProgramFolder(), IsWindows10OrLater());
    const std::string where = std::string(details) + " path=\"" + LogUtf8(path) + "\"";
    // CreateProcessW may write to the command line, so it gets a private copy (an empty one).
    std::vector<wchar_t> commandLine(1, L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
    {
        ProgramLog::Write(std::string(event) + "-failed", where + " error=" + std::to_string(GetLastError()));
        return;
    }
    KernelHandle thread(info.hThread);
    auto watched = std::make_unique<Watched>();
    watched->process.reset(info.hProcess);
    watched->processId = info.dwProcessId;
    ProgramLog::Write(event, where + " pid=" + std::to_string(info.dwProcessId));
    if (!RegisterWaitForSingleObject(&watched->wait, watched->process.get(), &Watched::OnExit, watched.get(),
                                     INFINITE, WT_EXECUTEONLYONCE))
    {
        watched->wait = nullptr;
        ProgramLog::Write("sensor-server-unwatched", "pid=" + std::to_string(info.dwProcessId) +
                                                         " error=" + std::to_string(GetLastError()));
        return;
    }
    m_watched.push_back(std::move(watched));
}

void SensorServerLauncher::ForgetEnded()
{
    std::vector<std::unique_ptr<Watched>> running;
    for (auto& watched : m_watched)
    {
        if (WaitForSingleObject(watched->process.get(), 0) != WAIT_OBJECT_0)
            running.push_back(std::move(watched));
    }
    // The ended ones go here, each after its exit line.
    m_watched.swap(running);
}
