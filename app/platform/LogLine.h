#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// One line of the program's diagnostics log, made without the system so that every rule is tested on
// its own: "<time> [<thread>] <event> <details>\n", UTF-8. Each field is cut to its own bound, so a
// line never passes kMaxLogLineBytes; control characters and bytes that are not UTF-8 are written as
// escapes, so one event is always one line and the file stays valid UTF-8. Backslashes stay as they
// are: Windows paths read as paths.

constexpr std::size_t kMaxLogLineBytes = 1024;
constexpr std::size_t kMaxLogThreadBytes = 32;
constexpr std::size_t kMaxLogEventBytes = 48;

// A local time and its offset from UTC, as the system gave them.
struct LogTime
{
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    int offsetMinutes = 0; // local time minus UTC: +60 for UTC+01:00
};

// ISO 8601 with milliseconds and offset: "2026-12-08T17:04:05.123+01:00".
std::string FormatLogTime(const LogTime& time);

// The text with '\n' '\r' '\t' as "\\n" "\\r" "\\t", other C0 controls, DEL and bytes that
// are not part of a well-formed UTF-8 sequence as "\\xHH", and C1 controls (U+0080 to U+009F) and the
// line and paragraph separators (U+2028, U+2029) as "\\uHHHH". At most maxBytes long: a text that does
// not fit is cut between characters and ends in "...".
std::string EscapeLogText(std::string_view text, std::size_t maxBytes);

// The whole line, line break included.
std::string FormatLogLine(const LogTime& time, std::string_view thread, std::string_view event,
                          std::string_view details);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD. For the wide texts (paths, versions) that
// callers put into details.
std::string LogUtf8(std::wstring_view text);
