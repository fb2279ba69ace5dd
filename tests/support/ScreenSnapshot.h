#pragma once

#include <windows.h>

#include <string>

// Saves what the screen shows inside the rectangle (screen coordinates) as a PNG file.
bool SaveScreenPng(const RECT& screenRect, const std::wstring& path);
// The same for the window's rectangle.
bool SaveWindowScreenshot(HWND window, const std::wstring& path);
// TK_ARTIFACTS_DIR with a trailing backslash (the temp folder when unset); created if missing.
std::wstring ArtifactsFolder();
