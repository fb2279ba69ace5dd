#include "linux/settings/TextFile.h"

#include "linux/settings/UniqueFd.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace
{
bool Fail(const std::string& what, const std::string& path, int saved, std::string& error, int* errorNumber)
{
    error = what + " " + path + ": " + std::strerror(saved);
    if (errorNumber)
    {
        *errorNumber = saved;
    }
    return false;
}
} // namespace

bool ReadTextFile(const std::string& path, std::string& text, std::string& error, int* errorNumber)
{
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd)
    {
        return Fail("cannot read", path, errno, error, errorNumber);
    }
    text.clear();
    char buffer[4096];
    for (;;)
    {
        const ssize_t got = read(fd.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
        {
            continue;
        }
        if (got < 0)
        {
            return Fail("cannot read", path, errno, error, errorNumber);
        }
        if (got == 0)
        {
            return true;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
}

bool ReplaceTextFile(const std::string& path, const std::string& text, unsigned mode, std::string& error,
                     int* errorNumber)
{
    const std::string temporary = path + ".new";
    {
        UniqueFd fd(open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode));
        if (!fd)
        {
            return Fail("cannot write", path, errno, error, errorNumber);
        }
        std::size_t done = 0;
        while (done < text.size())
        {
            const ssize_t put = write(fd.Get(), text.data() + done, text.size() - done);
            if (put < 0 && errno == EINTR)
            {
                continue;
            }
            if (put < 0)
            {
                const int saved = errno;
                unlink(temporary.c_str());
                return Fail("cannot write", path, saved, error, errorNumber);
            }
            done += static_cast<std::size_t>(put);
        }
    }
    if (rename(temporary.c_str(), path.c_str()) != 0)
    {
        const int saved = errno;
        unlink(temporary.c_str());
        return Fail("cannot replace", path, saved, error, errorNumber);
    }
    return true;
}
