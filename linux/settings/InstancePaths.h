#pragma once

#include <string>

// Where one daemon instance keeps its settings and publishes its status. The service uses the
// system paths; a user run keeps both under the user's own XDG folders.
struct InstancePaths
{
    std::string config;
    std::string status;
};

// Environment values are passed in (empty when unset) so the choice can be checked without them.
InstancePaths SystemInstancePaths();
InstancePaths UserInstancePaths(const std::string& xdgConfigHome, const std::string& home,
                                const std::string& xdgRuntimeDir, unsigned uid);
// Same, from this process's environment.
InstancePaths UserInstancePathsFromEnvironment();
