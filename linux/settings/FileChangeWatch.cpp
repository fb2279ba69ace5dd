#include "linux/settings/FileChangeWatch.h"

#include <sys/stat.h>

bool FileChangeWatch::Changed()
{
    Identity now;
    struct stat info
    {
    };
    if (stat(m_path.c_str(), &info) == 0)
    {
        now.exists = true;
        now.device = info.st_dev;
        now.inode = info.st_ino;
        now.size = info.st_size;
        now.modified = info.st_mtim;
    }
    const bool changed = !m_seen || now.exists != m_last.exists || now.device != m_last.device ||
                         now.inode != m_last.inode || now.size != m_last.size ||
                         now.modified.tv_sec != m_last.modified.tv_sec ||
                         now.modified.tv_nsec != m_last.modified.tv_nsec;
    m_seen = true;
    m_last = now;
    return changed;
}
