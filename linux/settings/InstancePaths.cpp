#include "linux/settings/InstancePaths.h"

#include <cstdlib>

namespace
{
std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// XDG: relative values are invalid and must be ignored.
bool Absolute(const std::string& path)
{
    return !path.empty() && path[0] == '/';
}

void PlaceRuntime(InstancePaths& paths, const std::string& folder)
{
    paths.runtimeDir = folder;
    paths.status = folder + "/status";
    paths.lock = folder + "/lock";
    paths.runtimeProblem.clear();
}
} // namespace

InstancePaths SystemInstancePaths()
{
    // /run/kelvane is the unit's RuntimeDirectory, owned by the service user.
    InstancePaths paths;
    paths.system = true;
    paths.config = "/etc/kelvane.conf";
    PlaceRuntime(paths, kSystemRuntimeDir);
    return paths;
}

InstancePaths UserInstancePaths(const std::string& xdgConfigHome, const std::string& home,
                                const std::string& xdgRuntimeDir)
{
    InstancePaths paths;
    if (Absolute(xdgConfigHome))
    {
        paths.config = xdgConfigHome + "/kelvane.conf";
    }
    else if (Absolute(home))
    {
        paths.config = home + "/.config/kelvane.conf";
    }
    else
    {
        paths.configProblem = "HOME is not set (nor XDG_CONFIG_HOME), so there is no place for the user's "
                              "settings; set it or give --config FILE";
    }
    if (Absolute(xdgRuntimeDir))
    {
        PlaceRuntime(paths, xdgRuntimeDir + "/kelvane");
    }
    else
    {
        paths.runtimeProblem = "XDG_RUNTIME_DIR is not set, so there is no private place for the user "
                               "daemon's lock and status; log in through a session that sets it, or give "
                               "--runtime-dir DIR";
    }
    paths.serviceLock = std::string(kSystemRuntimeDir) + "/lock";
    return paths;
}

InstancePaths UserInstancePathsFromEnvironment()
{
    return UserInstancePaths(Env("XDG_CONFIG_HOME"), Env("HOME"), Env("XDG_RUNTIME_DIR"));
}

void OverrideInstancePaths(InstancePaths& paths, const std::string& config, const std::string& runtimeDir,
                           const std::string& status, const std::string& systemRuntimeDir)
{
    if (!config.empty())
    {
        paths.config = config;
        paths.configProblem.clear();
    }
    if (!runtimeDir.empty())
    {
        PlaceRuntime(paths, runtimeDir);
    }
    if (!status.empty())
    {
        paths.status = status;
    }
    if (!systemRuntimeDir.empty() && !paths.system)
    {
        paths.serviceLock = systemRuntimeDir + "/lock";
    }
}
