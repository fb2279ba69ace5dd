#pragma once
#include <windows.h>

#include <string>

// Saves what the screen shows inside the window's rectangle as a PNG file.
bool SaveWindowScreenshot(HWND window, const std::wstring& path);
// TK_ARTIFACTS_DIR with a trailing backslash (the temp folder when unset).
std::wstring ArtifactsFolder();
