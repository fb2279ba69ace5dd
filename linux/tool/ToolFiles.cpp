#include "linux/tool/ToolFiles.h"

#include "linux/platform/SafeText.h"
#include "linux/platform/TextFile.h"

#include <cerrno>
#include <csignal>
#include <pwd.h>
#include <unistd.h>

namespace
{
bool TrustedOwner(const InstancePaths& paths, uid_t owner)
{
    if (!paths.system)
    {
        return owner == getuid();
    }
    const passwd* service = getpwnam("kelvane");
    return owner == 0 || (service && owner == service->pw_uid);
}
} // namespace

DaemonState ReadRunningDaemon(const InstancePaths& paths, DaemonStatus& status, std::string& why)
{
    if (paths.status.empty())
    {
        why = paths.runtimeProblem;
        return DaemonState::Refused;
    }
    std::string text;
    int errorNumber = 0;
    struct stat info
    {
    };
    if (!ReadRegularFile(paths.status, kMaxTextFileBytes, text, why, &errorNumber, &info))
    {
        return errorNumber == ENOENT ? DaemonState::NotRunning : DaemonState::Refused;
    }
    if (!TrustedOwner(paths, info.st_uid))
    {
        why = "the status file " + EscapeControls(paths.status) + " belongs to uid " +
              std::to_string(info.st_uid) + ", not to the daemon's user; it is ignored";
        return DaemonState::Refused;
    }
    status = ParseDaemonStatus(text);
    // EPERM: alive, but another user's process (the service user).
    const bool alive = status.pid > 0 && (kill(static_cast<pid_t>(status.pid), 0) == 0 || errno == EPERM);
    return alive ? DaemonState::Running : DaemonState::NotRunning;
}

bool ReadSettingsFile(const std::string& path, SettingsFile& file, std::string& error)
{
    int errorNumber = 0;
    struct stat info
    {
    };
    if (!ReadRegularFile(path, kMaxTextFileBytes, file.text, error, &errorNumber, &info))
    {
        file.text.clear();
        return errorNumber == ENOENT;
    }
    file.exists = true;
    file.mode = info.st_mode & 07777;
    file.parsed = ParseSettingsText(file.text);
    return true;
}
