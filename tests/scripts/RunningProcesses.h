#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Processes seen from outside, the way a user or an installer sees them.
std::vector<DWORD> ProcessesNamed(const std::wstring& imageName);
// Those of ProcessesNamed that are still there three seconds later: a copy that leaves soon (a
// refused second server waits up to 2 s) is not counted.
std::vector<DWORD> SteadyProcessesNamed(const std::wstring& imageName);
std::wstring ImagePathOf(DWORD processId);
// A visible top-level window of the process with this title (any title when null), or null.
HWND VisibleWindowOf(DWORD processId, const wchar_t* title);
void EndProcesses(const std::vector<DWORD>& processIds);
// Stops every thread of the process, so it answers no message: a hung program.
void SuspendProcess(DWORD processId);
// Polls done until it holds or the time is up; whether it held.
bool WaitUntil(const std::function<bool()>& done, DWORD milliseconds);

// A program started with a command line; ended by force if the test lets go of it still running.
class ChildProcess
{
public:
    explicit ChildProcess(const std::wstring& commandLine);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return m_info.hProcess != nullptr; }
    DWORD Id() const { return m_info.dwProcessId; }
    // True when the process ended within the time; its exit code goes to code.
    bool WaitForEnd(DWORD milliseconds, DWORD& code) const;
    // Ends it by force (if it still runs) and lets go of it.
    void End();

private:
    PROCESS_INFORMATION m_info = {};
};
