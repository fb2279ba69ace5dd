#pragma once

#include "linux/platform/UniqueFd.h"

#include <string>

// Tells, through an inotify descriptor the daemon sleeps on, that the settings file was written,
// replaced or removed, so an idle daemon does not look at the file every second. Watches the
// folder, since the tool replaces the file by renaming a new one over it.
class ConfigFileMonitor
{
public:
    explicit ConfigFileMonitor(const std::string& path);

    // -1 when inotify cannot watch the folder (for instance it does not exist yet); the caller
    // then looks at the file each tick instead.
    int Fd() const { return m_fd.get(); }
    // Reads the pending events; true when one named the settings file.
    bool Drain();

private:
    UniqueFd m_fd;
    std::string m_name;
};
