#pragma once

#include <string>
#include <sys/types.h>
#include <ctime>

// Tells whether a file was replaced, edited, created or removed since the last look, by one stat()
// per call: cheap enough for every tick, and no extra wake-ups while nothing changes.
class FileChangeWatch
{
public:
    explicit FileChangeWatch(std::string path) : m_path(std::move(path)) {}

    // True on the first call and whenever the file differs from the previous call's.
    bool Changed();
    const std::string& Path() const { return m_path; }

private:
    struct Identity
    {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
    };

    std::string m_path;
    bool m_seen = false;
    Identity m_last;
};
