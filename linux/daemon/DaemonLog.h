#pragma once

#include "linux/platform/LogPriority.h"

#include <cstddef>
#include <ostream>
#include <string>

// The daemon's lines on standard error. Under systemd that is the journal: each line then starts
// with its syslog priority ("<3>", "<4>", "<6>"), so "journalctl -p warning" finds the problems.
// Every line is escaped (a sensor label or a file name cannot send control characters to a
// terminal or split a line) and cut to a bounded length.
class DaemonLog
{
public:
    DaemonLog(std::ostream& out, bool journal) : m_out(out), m_journal(journal) {}

    // "kelvaned: " and the text.
    void operator()(LogPriority priority, const std::string& text) { Line(priority, "kelvaned: " + text); }
    // The text as it is, for the few lines that name the program themselves.
    void Line(LogPriority priority, const std::string& text);
    LogFunction Function()
    {
        return [this](LogPriority priority, const std::string& text) { (*this)(priority, text); };
    }

    // True when JOURNAL_STREAM names this process's standard error (systemd sets it to the
    // stream's "device:inode"; a child whose stderr was redirected elsewhere keeps the variable).
    static bool StandardErrorIsJournal();

private:
    std::ostream& m_out;
    bool m_journal;
};

constexpr std::size_t kMaxLogLine = 2048;
