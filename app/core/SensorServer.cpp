#include "app/core/SensorServer.h"

#include "app/core/KillProcessByName.h"
#include "app/core/ProgramFolder.h"
#include "app/core/WindowsVersion.h"
#include "app/platform/KernelHandle.h"

#include <windows.h>

#include <vector>

std::wstring SensorServerPath(const std::wstring& programFolder, bool windows10OrLater)
{
    return programFolder + (windows10OrLater ? L"HardwareMonitor\\" : L"HardwareMonitorWin7\\") +
           kSensorServerFileName;
}

void LaunchSensorServer()
{
    const std::wstring path = SensorServerPath(GetProgramFolder(), IsWindows10OrLater());
    // CreateProcessW may write to the command line, so it gets a private copy (an empty one).
    std::vector<wchar_t> commandLine(1, L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process))
    {
        KernelHandle processHandle(process.hProcess);
        KernelHandle threadHandle(process.hThread);
    }
}

bool EndSensorServers()
{
    // KillProcessByName ends one copy and does not wait, so a copy may show up once more while it
    // goes; the rounds bound the whole at about two seconds.
    constexpr int kRounds = 40;
    constexpr DWORD kRoundPauseMs = 50;
    for (int round = 0; round < kRounds; ++round)
    {
        if (!IsProcessRunning(kSensorServerFileName))
            return true;
        KillProcessByName(kSensorServerFileName);
        Sleep(kRoundPauseMs);
    }
    return !IsProcessRunning(kSensorServerFileName);
}
