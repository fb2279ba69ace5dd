#pragma once
#include "tests/app/ui/SimLog.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// Starts the real program from the staged program folder (the display simulator stands in for
// hidapi.dll there, the stand-in sensor server replays a curve) and watches it from outside.
struct ProgramOptions
{
    std::wstring arguments;
    int displays = 1;
    // More of the display simulator's settings ("display.1.fail=send"), ';'-separated.
    std::wstring displaySim;
    // Replay file for the sensor server; empty: the server reads the system (none under Wine).
    std::string replay = "cpu=37.9 gpu1=20 gpu2name=Test_GPU gpu2=61.5 ms=600000\n";
    // Settings stored (name, text) before the program starts; the key is empty otherwise.
    std::vector<std::pair<std::wstring, std::wstring>> settings;
};

class ProgramUnderTest
{
public:
    explicit ProgramUnderTest(const ProgramOptions& options);
    ~ProgramUnderTest();
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    static std::wstring StageFolder();
    static std::wstring WorkFolder();
    // Ends every copy of the program and of the sensor server, and forgets the settings.
    static void CleanSlate();
    // Starts one more copy with the given arguments; returns its process handle (caller closes).
    static HANDLE StartCopy(const std::wstring& arguments);

    HANDLE Process() const { return m_process; }
    // Wall clock just before the program was started, in the simulator log's format.
    const std::string& StartedUtc() const { return m_startedUtc; }
    // The main window once the program has created it; null after ms.
    HWND WaitForWindow(DWORD ms = 20000);
    bool WaitForExit(DWORD ms, DWORD& code);

    std::vector<SimLogEntry> Log() const { return ReadSimLog(m_logPath); }
    // Waits until the log holds at least count temperature reports; returns them.
    std::vector<SimLogEntry> WaitForReports(std::size_t count, DWORD ms = 30000) const;

    // A left click at client coordinates, handled before this returns.
    void Click(int x, int y);

private:
    HANDLE m_process = nullptr;
    HWND m_window = nullptr;
    std::wstring m_logPath;
    std::string m_startedUtc;
};

// Registry of the program's settings, as text; empty when absent.
std::wstring SettingText(const wchar_t* name);
void WriteSettingText(const wchar_t* name, const wchar_t* text);
// Processes with this image name now running.
int CountProcesses(const wchar_t* imageName);
