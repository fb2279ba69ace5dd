#include "app/update/FolderPath.h"

#include <windows.h>

bool IsExistingFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateFolderPath(const std::wstring& path)
{
    if (IsExistingFolder(path))
        return true;
    // The first backslash follows the drive; every later one ends a folder that may be missing.
    auto slash = path.find(L'\\');
    if (slash != std::wstring::npos)
        slash = path.find(L'\\', slash + 1);
    while (slash != std::wstring::npos)
    {
        CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
        slash = path.find(L'\\', slash + 1);
    }
    SetLastError(ERROR_SUCCESS);
    if (CreateDirectoryW(path.c_str(), nullptr))
        return true;
    // "Already exists" also covers a file of that name, which is no folder to write into.
    return GetLastError() == ERROR_ALREADY_EXISTS && IsExistingFolder(path);
}
