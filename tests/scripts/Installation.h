#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The program installed by our installer into a test folder of the Wine prefix, seen from outside.
constexpr wchar_t kFolder[] = L"C:\\TkInstallerTest\\Tarvik Kelvane";
constexpr wchar_t kProgram[] = L"Tarvik Kelvane.exe";
constexpr wchar_t kServer[] = L"ThermivoxServer.exe";

std::wstring InFolder(const std::wstring& name);
// Runs a command and waits for it; its exit code, or -1.
long RunSilently(const std::wstring& commandLine);
// Ids of the steady processes of that name whose file lies at path.
std::vector<DWORD> SteadyProcessesAt(const std::wstring& name, const std::wstring& path);
// Waits until exactly one program from the install folder runs and a server runs.
bool OneProgramAndServerRun();
// Icons in Wine's own tray window; -1 when there is no such window.
int WineTrayIcons();
// Ends every program and server and removes the install folder.
void CleanInstallation();
