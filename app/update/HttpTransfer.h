#pragma once

#include <windows.h>

#include <string>

// Blocking HTTP(S) GETs on WinINet for the update flow: a small text, or a file with progress posted to a
// window as WM_TRAY_NOTIFY (wParam 0, lParam percent). Worker thread only.
class CHttpTransfer
{
public:
    static constexpr UINT kProgressMessage = 0x69A;

    // 1 on success; 0 when no Internet handle could be opened; -1 when the address could not be opened,
    // the server answered with a status outside 2xx, or a read failed. text is changed only on 1.
    int GetText(const std::wstring& url, std::wstring& text);

    // 1 on success; 0 when no Internet handle could be opened; -1 when the address could not be opened,
    // the status is outside 2xx, the file could not be created or written, a read failed, or the body
    // ended before the announced length (the bytes received so far stay in the file).
    int DownloadFile(const std::wstring& url, const std::wstring& path, HWND window);

    int LastProgress() const { return m_lastProgress; }

private:
    void PostProgress(HWND window, int value);

    int m_lastProgress = 0;
};
