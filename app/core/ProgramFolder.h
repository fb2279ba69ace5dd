#pragma once
#include <string>

// The folder of the program file with exactly one trailing backslash. Every path the program
// builds on its own files (sensor server, skin, logon task) starts with it.
std::wstring GetProgramFolder();

// The folder part of a module path, with one trailing backslash; empty when it has no backslash.
std::wstring FolderOfPath(const std::wstring& modulePath);
