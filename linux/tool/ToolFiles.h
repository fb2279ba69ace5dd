#pragma once

#include "linux/settings/DisplaySettingsText.h"
#include "linux/settings/InstancePaths.h"
#include "linux/status/DaemonStatus.h"

#include <string>

// The two files the tool reads: the daemon's status and the settings.

enum class DaemonState
{
    Running,
    NotRunning, // no status, or its pid is gone
    Refused,    // a status file this tool does not trust; why says so
};

// The status is read only from a regular file owned by the user the daemon runs as (this user for
// --user, the service user or root for the service), so another user cannot plant a fake one.
DaemonState ReadRunningDaemon(const InstancePaths& paths, DaemonStatus& status, std::string& why);

struct SettingsFile
{
    bool exists = false;
    std::string text;
    unsigned mode = 0644; // kept when the file is rewritten
    SettingsParseResult parsed;
};

// False with error set when the file exists but cannot be used (not a regular file, too large).
bool ReadSettingsFile(const std::string& path, SettingsFile& file, std::string& error);
