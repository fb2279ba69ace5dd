#include "tests/app/ui/tray/RunningProgram.h"

#include "app/core/KillProcessByName.h"

#include <vector>

namespace
{
struct WindowSearch
{
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchMainWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t title[32] = {};
    GetWindowTextW(window, title, 32);
    if (owner == search->processId && wcscmp(title, L"KELVANE") == 0)
    {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
} // namespace

std::wstring RunningProgram::ShippedFolder()
{
    return TK_BIN_DIR_WIN L"\\";
}

RunningProgram::RunningProgram(const std::wstring& folder, const std::wstring& arguments)
{
    const std::wstring exe = folder + L"Tarvik Kelvane.exe";
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                       &startup, &info))
    {
        CloseHandle(info.hThread);
        m_process = info.hProcess;
        m_processId = info.dwProcessId;
    }
}

RunningProgram::~RunningProgram()
{
    if (!m_process)
        return;
    if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT)
    {
        TerminateProcess(m_process, 1);
        WaitForSingleObject(m_process, 10000);
    }
    CloseHandle(m_process);
    // The program leaves its sensor server running when it is ended; a server left behind would
    // hold the test's output pipe open and keep ctest waiting.
    KillProcessByName(L"ThermivoxServer.exe");
}

HWND RunningProgram::WaitForWindow(DWORD ms)
{
    if (!m_process)
        return nullptr;
    WaitUntil(ms,
              [this]
              {
                  WindowSearch search = {m_processId, nullptr};
                  EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&search));
                  m_window = search.found;
                  return m_window != nullptr;
              });
    return m_window;
}

bool RunningProgram::WaitForExit(DWORD ms, DWORD& code) const
{
    if (!m_process || WaitForSingleObject(m_process, ms) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(m_process, &code) != 0;
}
