#include "app/core/KillProcessByName.h"

#include "app/platform/KernelHandle.h"

#include <windows.h>
#include <tlhelp32.h>

namespace
{
DWORD FindProcessId(HANDLE snapshot, const wchar_t* imageName)
{
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    {
        if (lstrcmpiW(entry.szExeFile, imageName) == 0)
            return entry.th32ProcessID;
    }
    return 0;
}
} // namespace

bool KillProcessByName(const wchar_t* imageName)
{
    DWORD processId = 0;
    {
        HANDLE raw = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (raw == INVALID_HANDLE_VALUE)
            return false;
        KernelHandle snapshot(raw);
        processId = FindProcessId(raw, imageName);
    }
    if (processId == 0)
        return true;
    KernelHandle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId));
    if (process.get())
        TerminateProcess(process.get(), 0);
    return true;
}

bool IsProcessRunning(const wchar_t* imageName)
{
    HANDLE raw = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (raw == INVALID_HANDLE_VALUE)
        return false;
    KernelHandle snapshot(raw);
    return FindProcessId(raw, imageName) != 0;
}
