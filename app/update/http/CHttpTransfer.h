#pragma once

#include "app/update/http/HttpResponse.h"

#include <windows.h>

#include <string>

// Blocking HTTP(S) GETs on WinINet for the update flow: the version text, a small file (a signature)
// or an archive written through an open handle with progress posted to a window as WM_TRAY_NOTIFY
// (wParam 0, lParam percent). Only a complete 200 answer from the server asked (or a same-server
// redirect) counts; every operation is bounded in time and size: whatever the server sends, a call
// returns by its deadline (see HttpResponse). Update worker thread only.
//
// Results: 1 success; 0 when no Internet handle could be opened; -1 on any other failure (the address
// could not be opened, a status other than 200, no status line, a redirect elsewhere or too many, a
// failed or timed-out read, a body longer than allowed or not matching its Content-Length, a chunked
// body without its last chunk). Out values change only on 1, and LastError says why it was not 1.
class CHttpTransfer
{
public:
    // A version text is a few dotted numbers: a longer answer is refused, never cut to fit.
    static constexpr std::size_t kMaxTextBytes = 256;
    // An archive may take long on a slow line, but not forever.
    static constexpr DWORD kDownloadDeadlineMs = 30 * 60 * 1000;

    int GetText(const std::wstring& url, std::wstring& text);
    int GetBytes(const std::wstring& url, std::string& bytes, std::size_t maxBytes);
    // Appends the body, at most maxBytes, at the file's current position.
    int DownloadTo(const std::wstring& url, HANDLE file, HWND window, unsigned long long maxBytes);

    // For tests: shorter waits. The download deadline is never shorter than the text one.
    void SetTimeLimits(const HttpTimeLimits& small, DWORD downloadDeadlineMs);

    int LastProgress() const { return m_lastProgress; }
    // Why the last GetText, GetBytes or DownloadTo failed; empty after a success.
    const HttpError& LastError() const { return m_lastError; }

private:
    void PostProgress(HWND window, int value);
    // Keeps why the call failed and returns result, for ending a call in one line.
    int Fail(int result, const HttpError& error);
    int Fail(int result, const HttpResponse& response, const char* detail);

    int m_lastProgress = 0;
    HttpError m_lastError;
    HttpTimeLimits m_smallLimits;
    HttpTimeLimits m_downloadLimits{HttpTimeLimits{}.stepMs, kDownloadDeadlineMs};
};
