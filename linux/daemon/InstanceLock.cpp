#include "linux/daemon/InstanceLock.h"

#include "linux/platform/SafeText.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
long ReadPid(int fd)
{
    char text[24] = {};
    const ssize_t got = pread(fd, text, sizeof text - 1, 0);
    return got > 0 ? std::strtol(text, nullptr, 10) : 0;
}

std::string Reason(const std::string& what, const std::string& path)
{
    return what + " " + EscapeControls(path) + ": " + std::strerror(errno);
}
} // namespace

InstanceLock::Outcome InstanceLock::Take(const std::string& path, std::string& error)
{
    m_fd.reset(open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0644));
    struct stat info
    {
    };
    if (!m_fd || fstat(m_fd.get(), &info) != 0)
    {
        error = Reason("cannot open the lock", path);
        return Outcome::Failed;
    }
    if (!S_ISREG(info.st_mode))
    {
        error = "cannot use the lock " + EscapeControls(path) + ": it is not a regular file";
        return Outcome::Failed;
    }
    if (flock(m_fd.get(), LOCK_EX | LOCK_NB) != 0)
    {
        if (errno != EWOULDBLOCK)
        {
            error = Reason("cannot lock", path);
            return Outcome::Failed;
        }
        m_holder = ReadPid(m_fd.get());
        m_fd.reset();
        return Outcome::Busy;
    }
    const std::string pid = std::to_string(getpid()) + "\n";
    if (ftruncate(m_fd.get(), 0) != 0 || pwrite(m_fd.get(), pid.data(), pid.size(), 0) < 0)
    {
        error = Reason("cannot write the lock", path);
        return Outcome::Failed;
    }
    return Outcome::Held;
}

bool InstanceLock::IsHeld(const std::string& path, long& holder)
{
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    holder = 0;
    if (!fd || flock(fd.get(), LOCK_SH | LOCK_NB) == 0)
    {
        return false; // closing the descriptor lets the shared lock go
    }
    const bool held = errno == EWOULDBLOCK;
    holder = held ? ReadPid(fd.get()) : 0;
    return held;
}

bool PrepareRuntimeFolder(const std::string& folder, unsigned mode, std::string& error)
{
    if (mkdir(folder.c_str(), mode) != 0 && errno != EEXIST)
    {
        error = Reason("cannot create the runtime folder", folder);
        return false;
    }
    struct stat info
    {
    };
    if (lstat(folder.c_str(), &info) != 0)
    {
        error = Reason("cannot use the runtime folder", folder);
        return false;
    }
    const std::string where = "the runtime folder " + EscapeControls(folder);
    if (!S_ISDIR(info.st_mode))
    {
        error = where + " is not a folder (a link or a file is refused)";
        return false;
    }
    if (info.st_uid != geteuid() && info.st_uid != 0)
    {
        error = where + " belongs to uid " + std::to_string(info.st_uid) + ", not to this user";
        return false;
    }
    if (info.st_mode & (S_IWGRP | S_IWOTH))
    {
        error = where + " may be written by other users";
        return false;
    }
    return true;
}
