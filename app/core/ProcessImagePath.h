#pragma once

#include <windows.h>

#include <string>

// The full Win32 path of a process's image file (the handle needs query-limited access); empty
// with error set to the system code when it cannot be read.
std::wstring ProcessImagePath(HANDLE process, DWORD& error);

// Whether two paths name the same file: compared in their long forms (8.3 names expanded where
// the file exists), ignoring letter case as the file system does.
bool SameFilePath(const std::wstring& first, const std::wstring& second);
