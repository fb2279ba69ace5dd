#pragma once

#include <string>
#include <string_view>

// The program's diagnostics log: one UTF-8 line per event (LogLine.h) appended to "program.log" in
// %LOCALAPPDATA%\Tarvik Kelvane Files\Logs\, which is moved to "program.1.log" (replacing the one before)
// before it would pass kRotateBytes, so the two files never hold more than twice that.
//
// Any thread may write at any time, before Open and after Close included (the line is then dropped).
// Writing never throws and never waits on a failing file: a file that cannot be opened or written is
// closed, lines are counted as dropped, and the next attempt waits kRetryMs. The count is written
// once the file works again. Lines are written straight through, so a process ended at once loses
// none that were written.
class ProgramLog
{
public:
    static constexpr unsigned long long kRotateBytes = 1024 * 1024;
    static constexpr unsigned long kRetryMs = 10000;

    // The program's own folder (created when missing). False when the folder cannot be used; the
    // program runs on without a log.
    static bool Open();
    // Any other folder, which must exist (tests). Closes the log that was open.
    static bool Open(const std::wstring& folder);
    static void Close();

    // event: a short name ("update-check"); details: "key=value" pairs in UTF-8.
    static void Write(std::string_view event, std::string_view details) noexcept;
    // The name the calling thread's lines carry ("ui", "display", "update"); "thread-<id>" unnamed.
    static void NameThisThread(std::string_view name) noexcept;

    // "<local app data>\Tarvik Kelvane Files\Logs\"; empty when the system does not say.
    static std::wstring DefaultFolder();
    // The file lines go to ("<folder>program.log"); empty while closed.
    static std::wstring Path();
};
