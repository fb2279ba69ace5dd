#pragma once

#include <string>

// Creates a folder and every missing folder above it. True when the folder exists afterwards.
bool CreateFolderPath(const std::wstring& path);

// True when path names an existing folder.
bool IsExistingFolder(const std::wstring& path);
