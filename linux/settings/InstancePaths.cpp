#include "linux/settings/InstancePaths.h"

#include <cstdlib>
#include <unistd.h>

namespace
{
std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}
} // namespace

InstancePaths SystemInstancePaths()
{
    // /run/kelvane is the unit's RuntimeDirectory, owned by the service user.
    return {"/etc/kelvane.conf", "/run/kelvane/status"};
}

InstancePaths UserInstancePaths(const std::string& xdgConfigHome, const std::string& home,
                                const std::string& xdgRuntimeDir, unsigned uid)
{
    // XDG: relative values are invalid and must be ignored.
    InstancePaths paths;
    if (!xdgConfigHome.empty() && xdgConfigHome[0] == '/')
    {
        paths.config = xdgConfigHome + "/kelvane.conf";
    }
    else
    {
        paths.config = (home.empty() ? std::string("/tmp") : home) + "/.config/kelvane.conf";
    }
    if (!xdgRuntimeDir.empty() && xdgRuntimeDir[0] == '/')
    {
        paths.status = xdgRuntimeDir + "/kelvane-status";
    }
    else
    {
        paths.status = "/tmp/kelvane-status-" + std::to_string(uid);
    }
    return paths;
}

InstancePaths UserInstancePathsFromEnvironment()
{
    return UserInstancePaths(Env("XDG_CONFIG_HOME"), Env("HOME"), Env("XDG_RUNTIME_DIR"), getuid());
}
