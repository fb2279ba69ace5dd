#include "tests/scripts/RunningProcesses.h"

#include <tlhelp32.h>

#include <algorithm>

std::vector<DWORD> ProcessesNamed(const std::wstring& imageName)
{
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ids;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    {
        if (lstrcmpiW(entry.szExeFile, imageName.c_str()) == 0)
            ids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

std::vector<DWORD> SteadyProcessesNamed(const std::wstring& imageName)
{
    const std::vector<DWORD> before = ProcessesNamed(imageName);
    Sleep(3000);
    std::vector<DWORD> steady;
    for (const DWORD id : ProcessesNamed(imageName))
    {
        if (std::find(before.begin(), before.end(), id) != before.end())
            steady.push_back(id);
    }
    return steady;
}

std::wstring ImagePathOf(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return {};
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const BOOL ok = QueryFullProcessImageNameW(process, 0, path, &size);
    CloseHandle(process);
    return ok ? std::wstring(path, size) : std::wstring();
}

void EndProcesses(const std::vector<DWORD>& processIds)
{
    for (const DWORD id : processIds)
    {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        if (!process)
            continue;
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}

void SuspendProcess(DWORD processId)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    {
        if (entry.th32OwnerProcessID != processId)
            continue;
        if (HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID))
        {
            SuspendThread(thread);
            CloseHandle(thread);
        }
    }
    CloseHandle(snapshot);
}

bool WaitUntil(const std::function<bool()>& done, DWORD milliseconds)
{
    for (DWORD waited = 0; waited < milliseconds; waited += 200)
    {
        if (done())
            return true;
        Sleep(200);
    }
    return done();
}

ChildProcess::ChildProcess(const std::wstring& commandLine)
{
    std::wstring line = commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_info))
        CloseHandle(m_info.hThread);
    else
        m_info = {};
}

ChildProcess::~ChildProcess()
{
    End();
}

void ChildProcess::End()
{
    if (!m_info.hProcess)
        return;
    if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT)
    {
        TerminateProcess(m_info.hProcess, 1);
        WaitForSingleObject(m_info.hProcess, 5000);
    }
    CloseHandle(m_info.hProcess);
    m_info = {};
}

bool ChildProcess::WaitForEnd(DWORD milliseconds, DWORD& code) const
{
    if (!m_info.hProcess || WaitForSingleObject(m_info.hProcess, milliseconds) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(m_info.hProcess, &code);
    return true;
}

namespace
{
struct WindowSearch
{
    DWORD process;
    const wchar_t* title; // any title when null
    HWND found;
};

} // namespace

HWND VisibleWindowOf(DWORD process, const wchar_t* title)
{
    WindowSearch search{process, title, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL
        {
            auto* s = reinterpret_cast<WindowSearch*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t text[128] = {};
            GetWindowTextW(window, text, 128);
            if (owner != s->process || !IsWindowVisible(window) ||
                (s->title && lstrcmpW(text, s->title) != 0))
                return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
