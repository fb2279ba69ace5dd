#include "app/ui/StartupNotice.h"

#include "app/core/ProgramTitle.h"
#include "app/platform/ProgramLog.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace
{
void Show(const std::wstring& text, UINT icon)
{
    MessageBoxW(nullptr, text.c_str(), kProgramTitle, MB_OK | icon | MB_SETFOREGROUND | MB_TOPMOST);
}

std::wstring Widen(const char* text)
{
    return std::wstring(text, text + std::char_traits<char>::length(text));
}
} // namespace

void TellInstanceHeldWithoutWindow()
{
    ProgramLog::Write("start-refused", "reason=\"single-instance mutex held, no window of ours\" "
                                       "mutex=\"Tarvik Kelvane\"");
    Show(L"Tarvik Kelvane cannot start: another process holds its single-instance lock "
         L"\"Tarvik Kelvane\", but no Tarvik Kelvane window answers.\n\n"
         L"End that process, or sign out and in again, then start Tarvik Kelvane again.",
         MB_ICONWARNING);
}

void TellLibraryFailed(const char* library, long code, bool fatal)
{
    char result[32] = {};
    // GDI+ reports small status numbers, COM and OLE HRESULTs.
    if (code >= 0 && code < 0x10000)
        std::snprintf(result, sizeof result, "status %ld", code);
    else
        std::snprintf(result, sizeof result, "error 0x%08lX", static_cast<unsigned long>(code));
    ProgramLog::Write("startup-failed", std::string("library=") + library + " result=\"" + result +
                                            "\" fatal=" + (fatal ? "yes" : "no"));
    const std::wstring what =
        L"Tarvik Kelvane could not start " + Widen(library) + L" (" + Widen(result) + L").";
    if (fatal)
        Show(what + L"\n\nIt cannot draw its windows and ends now.", MB_ICONERROR);
    else
        Show(what + L"\n\nIt runs on; registering its logon task and starting installers may fail.",
             MB_ICONWARNING);
}
