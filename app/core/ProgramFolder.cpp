#include "app/core/ProgramFolder.h"

#include <windows.h>

std::wstring FolderOfPath(const std::wstring& modulePath)
{
    const std::size_t slash = modulePath.find_last_of(L'\\');
    if (slash == std::wstring::npos)
        return std::wstring();
    return modulePath.substr(0, slash + 1);
}

std::wstring GetProgramFolder()
{
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return FolderOfPath(std::wstring(path, length));
}
