#pragma once

#include <string>

// Where one daemon instance keeps its settings, its lock and its status. The service uses the
// system paths; a user run keeps them under the user's own XDG folders and never falls back to a
// shared folder such as /tmp, where another user could plant links or a fake status.
struct InstancePaths
{
    std::string config;     // empty when configProblem says why
    std::string runtimeDir; // the lock and status folder; empty when runtimeProblem says why
    std::string status;
    std::string lock;
    std::string serviceLock;   // a user daemon does not start while the service holds this
    std::string configProblem; // names the unset environment variable
    std::string runtimeProblem;
    bool system = false;
};

constexpr const char kSystemRuntimeDir[] = "/run/kelvane";

// Environment values are passed in (empty when unset) so the choice can be checked without them.
InstancePaths SystemInstancePaths();
InstancePaths UserInstancePaths(const std::string& xdgConfigHome, const std::string& home,
                                const std::string& xdgRuntimeDir);
// Same, from this process's environment.
InstancePaths UserInstancePathsFromEnvironment();

// Command-line choices win over the defaults; empty arguments leave them alone. A runtime folder
// moves the lock and, unless status is given, the status with it.
void OverrideInstancePaths(InstancePaths& paths, const std::string& config, const std::string& runtimeDir,
                           const std::string& status, const std::string& systemRuntimeDir = "");
