#include "linux/platform/TextFile.h"

#include "linux/platform/SafeText.h"
#include "linux/platform/UniqueFd.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

namespace
{
bool Fail(const std::string& what, const std::string& path, int saved, std::string& error, int* errorNumber,
          const char* reason = nullptr)
{
    error = what + " " + EscapeControls(path) + ": " + (reason ? reason : std::strerror(saved));
    if (errorNumber)
    {
        *errorNumber = saved;
    }
    return false;
}

// Reads up to limit + 1 bytes, so the caller can tell a file that grew past its limit.
bool ReadUpTo(int fd, std::size_t limit, std::string& text)
{
    text.clear();
    char buffer[4096];
    while (text.size() <= limit)
    {
        const ssize_t got = read(fd, buffer, std::min(sizeof buffer, limit + 1 - text.size()));
        if (got < 0 && errno == EINTR)
        {
            continue;
        }
        if (got < 0)
        {
            return false;
        }
        if (got == 0)
        {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
}

std::string TemporarySibling(const std::string& path)
{
    unsigned char random[6] = {};
    if (getrandom(random, sizeof random, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof random))
    {
        const unsigned long mix = static_cast<unsigned long>(getpid()) ^ static_cast<unsigned long>(clock());
        std::memcpy(random, &mix, std::min(sizeof random, sizeof mix));
    }
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%02x%02x%02x%02x%02x%02x", random[0], random[1], random[2],
                  random[3], random[4], random[5]);
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + "." + name + "." + suffix;
}

bool WriteAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size())
    {
        const ssize_t put = write(fd, text.data() + done, text.size() - done);
        if (put < 0 && errno == EINTR)
        {
            continue;
        }
        if (put < 0)
        {
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}
} // namespace

bool ReadTextFile(const std::string& path, std::string& text, std::string& error, int* errorNumber)
{
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd || !ReadUpTo(fd.get(), kMaxTextFileBytes, text))
    {
        return Fail("cannot read", path, errno, error, errorNumber);
    }
    text.resize(std::min(text.size(), kMaxTextFileBytes));
    return true;
}

bool ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& text, std::string& error,
                     int* errorNumber, struct stat* info)
{
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
    if (!fd)
    {
        const int saved = errno;
        return Fail("cannot read", path, saved, error, errorNumber,
                    saved == ELOOP ? "it is a symbolic link; only a regular file is read" : nullptr);
    }
    struct stat own
    {
    };
    struct stat& file = info ? *info : own;
    if (fstat(fd.get(), &file) != 0)
    {
        return Fail("cannot read", path, errno, error, errorNumber);
    }
    if (!S_ISREG(file.st_mode))
    {
        return Fail("cannot read", path, EINVAL, error, errorNumber,
                    S_ISFIFO(file.st_mode)  ? "it is a FIFO, not a regular file"
                    : S_ISDIR(file.st_mode) ? "it is a folder, not a regular file"
                                            : "it is a device or socket, not a regular file");
    }
    if (!ReadUpTo(fd.get(), maxBytes, text))
    {
        return Fail("cannot read", path, errno, error, errorNumber);
    }
    if (text.size() > maxBytes)
    {
        text.clear();
        const std::string reason = "larger than " + std::to_string(maxBytes / 1024) + " KiB";
        return Fail("cannot read", path, EFBIG, error, errorNumber, reason.c_str());
    }
    return true;
}

bool ReplaceTextFile(const std::string& path, const std::string& text, unsigned mode, std::string& error,
                     int* errorNumber)
{
    std::string temporary;
    UniqueFd fd;
    for (int attempt = 0; attempt < 8 && !fd; ++attempt)
    {
        temporary = TemporarySibling(path);
        fd.reset(open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd && errno != EEXIST)
        {
            break;
        }
    }
    if (!fd)
    {
        return Fail("cannot write", path, errno, error, errorNumber);
    }
    // The mode is set explicitly: the umask must not hide the settings from the service user.
    if (fchmod(fd.get(), mode) != 0 || !WriteAll(fd.get(), text) || fsync(fd.get()) != 0)
    {
        const int saved = errno;
        unlink(temporary.c_str());
        return Fail("cannot write", path, saved, error, errorNumber);
    }
    fd.reset();
    if (rename(temporary.c_str(), path.c_str()) != 0)
    {
        const int saved = errno;
        unlink(temporary.c_str());
        return Fail("cannot replace", path, saved, error, errorNumber);
    }
    return true;
}
