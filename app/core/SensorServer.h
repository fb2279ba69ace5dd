#pragma once
#include <string>

constexpr wchar_t kSensorServerFileName[] = L"ThermivoxServer.exe";

// programFolder (ends in a backslash), then "HardwareMonitor\" for Windows 10 and later or
// "HardwareMonitorWin7\" for earlier Windows, then the server's file name.
std::wstring SensorServerPath(const std::wstring& programFolder, bool windows10OrLater);

// Starts the server that suits this Windows from the program folder, without arguments, and
// keeps no handle. Does not look whether one already runs; failures are silent.
void LaunchSensorServer();

// Ends every running sensor server, from either server folder (both share the image name), one
// at a time until none is left or about two seconds have passed. True when none is left.
bool EndSensorServers();
