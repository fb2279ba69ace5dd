#include "app/core/SensorServer.h"

#include "app/core/ProcessImagePath.h"
#include "app/core/ProgramFolder.h"
#include "app/platform/KernelHandle.h"
#include "app/platform/LogLine.h"
#include "app/platform/ProgramLog.h"

#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <utility>

namespace
{
// Terminated servers are given this long, all together, to be gone.
constexpr ULONGLONG kEndWaitMs = 2000;

// Ids of the processes whose image file name is the server's, ignoring letter case.
std::vector<DWORD> ServerProcessIds(DWORD& error)
{
    std::vector<DWORD> ids;
    KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
    {
        error = GetLastError();
        return ids;
    }
    error = ERROR_SUCCESS;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry))
    {
        if (lstrcmpiW(entry.szExeFile, kSensorServerFileName) == 0)
            ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

using Outcome = SensorServerEnding::Outcome;

SensorServerEnding Left(DWORD processId, Outcome outcome, const char* reason, DWORD code)
{
    SensorServerEnding ending;
    ending.processId = processId;
    ending.outcome = outcome;
    ending.reason = reason;
    ending.systemCode = code;
    return ending;
}

SensorServerEnding Failed(DWORD processId, const char* step, DWORD code)
{
    return Left(processId, Outcome::Failed, step, code);
}

// Decides on one process and terminates it when it is ours; the handle of a terminated one is
// handed back to be waited for.
SensorServerEnding TryToEnd(DWORD processId, DWORD ownSession, const std::wstring& programFolder,
                            KernelHandle& terminated)
{
    KernelHandle process(
        OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId));
    const DWORD openError = GetLastError();
    // Asked while the handle is held, so that the id cannot meanwhile pass to another process.
    DWORD session = 0;
    if (!ProcessIdToSessionId(processId, &session))
        return Failed(processId, "session", GetLastError());
    if (session != ownSession)
        return Left(processId, Outcome::NotOurs, "another session", ERROR_SUCCESS);
    if (!process)
        return Failed(processId, "open", openError);
    DWORD error = ERROR_SUCCESS;
    SensorServerEnding ending = Failed(processId, "", ERROR_SUCCESS);
    ending.imagePath = ProcessImagePath(process.get(), error);
    if (ending.imagePath.empty())
    {
        ending.reason = "image path";
        ending.systemCode = error;
        return ending;
    }
    if (!SameFilePath(ending.imagePath, SensorServerPath(programFolder, true)) &&
        !SameFilePath(ending.imagePath, SensorServerPath(programFolder, false)))
    {
        ending.outcome = Outcome::NotOurs;
        ending.reason = "another folder";
        return ending;
    }
    if (!TerminateProcess(process.get(), 0))
    {
        ending.reason = "terminate";
        ending.systemCode = GetLastError();
        return ending;
    }
    terminated = std::move(process);
    return ending;
}
} // namespace

std::wstring SensorServerPath(const std::wstring& programFolder, bool windows10OrLater)
{
    return programFolder + (windows10OrLater ? L"HardwareMonitor\\" : L"HardwareMonitorWin7\\") +
           kSensorServerFileName;
}

std::vector<SensorServerEnding> EndSensorServersOf(const std::wstring& programFolder)
{
    std::vector<SensorServerEnding> endings;
    DWORD error = ERROR_SUCCESS;
    const std::vector<DWORD> ids = ServerProcessIds(error);
    if (error != ERROR_SUCCESS)
    {
        endings.push_back(Failed(0, "process list", error));
        return endings;
    }
    DWORD ownSession = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &ownSession))
    {
        // Without our own session nothing can be told to be ours.
        const DWORD code = GetLastError();
        for (DWORD id : ids)
            endings.push_back(Failed(id, "session", code));
        return endings;
    }
    std::vector<KernelHandle> terminated(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i)
        endings.push_back(TryToEnd(ids[i], ownSession, programFolder, terminated[i]));

    // Termination is asynchronous: the installer and the next server need the old ones gone.
    const ULONGLONG deadline = GetTickCount64() + kEndWaitMs;
    for (std::size_t i = 0; i < ids.size(); ++i)
    {
        if (!terminated[i])
            continue;
        const ULONGLONG now = GetTickCount64();
        const DWORD wait = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        const DWORD result = WaitForSingleObject(terminated[i].get(), wait);
        if (result == WAIT_OBJECT_0)
        {
            endings[i].outcome = Outcome::Ended;
            continue;
        }
        endings[i].reason = "wait";
        endings[i].systemCode = result == WAIT_FAILED ? GetLastError() : WAIT_TIMEOUT;
    }
    return endings;
}

bool EndSensorServers(const char* when)
{
    bool allEnded = true;
    for (const SensorServerEnding& ending : EndSensorServersOf(GetProgramFolder()))
    {
        allEnded = allEnded && ending.outcome != Outcome::Failed;
        std::string details = std::string("when=") + when + " pid=" + std::to_string(ending.processId);
        if (!ending.imagePath.empty())
            details += " path=\"" + LogUtf8(ending.imagePath) + "\"";
        if (ending.outcome == Outcome::Ended)
        {
            ProgramLog::Write("sensor-server-ended", details);
            continue;
        }
        details += std::string(" reason=\"") + ending.reason + "\"";
        if (ending.outcome == Outcome::Failed)
            details += " error=" + std::to_string(ending.systemCode);
        ProgramLog::Write(
            ending.outcome == Outcome::NotOurs ? "sensor-server-left" : "sensor-server-not-ended", details);
    }
    return allEnded;
}
