#include "app/core/SensorServer.h"

#include "app/core/ProgramFolder.h"
#include "app/core/WindowsVersion.h"
#include "app/device/KernelHandle.h"

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
