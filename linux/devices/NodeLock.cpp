#include "linux/devices/NodeLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

NodeLock::Outcome NodeLock::Take(const std::string& path)
{
    m_fd.reset(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat info
    {
    };
    if (!m_fd || fstat(m_fd.get(), &info) != 0)
    {
        return Outcome::Failed;
    }
    m_device = info.st_dev;
    m_inode = info.st_ino;
    if (flock(m_fd.get(), LOCK_EX | LOCK_NB) != 0)
    {
        const int saved = errno;
        m_fd.reset();
        errno = saved;
        return saved == EWOULDBLOCK ? Outcome::Busy : Outcome::Failed;
    }
    return Outcome::Locked;
}

bool NodeLock::Replaced(const std::string& path) const
{
    struct stat info
    {
    };
    return m_fd && stat(path.c_str(), &info) == 0 && (info.st_dev != m_device || info.st_ino != m_inode);
}
