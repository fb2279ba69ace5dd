#pragma once

#include <windows.h>

#include <string>

// One copy of "Tarvik Kelvane.exe" started from a program folder, watched from outside. The
// copy is ended when the object goes away.
class RunningProgram
{
public:
    RunningProgram(const std::wstring& folder, const std::wstring& arguments);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // The folder the shipped program is built into.
    static std::wstring ShippedFolder();

    bool Started() const { return m_process != nullptr; }
    // The main window once it exists; null after ms.
    HWND WaitForWindow(DWORD ms = 20000);
    // True when the copy ended within ms; its exit code in `code`.
    bool WaitForExit(DWORD ms, DWORD& code) const;
    DWORD ProcessId() const { return m_processId; }

private:
    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
    HWND m_window = nullptr;
};

// Polls `condition` every 50 ms for at most ms; true as soon as it holds.
template <typename Condition> bool WaitUntil(DWORD ms, Condition condition)
{
    for (DWORD waited = 0;; waited += 50)
    {
        if (condition())
            return true;
        if (waited >= ms)
            return false;
        Sleep(50);
    }
}
