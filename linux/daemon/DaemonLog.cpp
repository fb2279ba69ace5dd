#include "linux/daemon/DaemonLog.h"

#include "linux/platform/SafeText.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

void DaemonLog::Line(LogPriority priority, const std::string& text)
{
    std::string line = EscapeControls(text);
    if (line.size() > kMaxLogLine)
    {
        line = QuoteValue(line, kMaxLogLine);
    }
    if (m_journal)
    {
        m_out << "<" << static_cast<int>(priority) << ">";
    }
    m_out << line << std::endl;
}

bool DaemonLog::StandardErrorIsJournal()
{
    const char* stream = std::getenv("JOURNAL_STREAM");
    unsigned long long device = 0;
    unsigned long long inode = 0;
    struct stat info
    {
    };
    return stream && std::sscanf(stream, "%llu:%llu", &device, &inode) == 2 && fstat(2, &info) == 0 &&
           info.st_dev == device && info.st_ino == inode;
}
