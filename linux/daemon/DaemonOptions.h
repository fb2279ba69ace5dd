#pragma once

#include <string>
#include <vector>

enum class HotplugMode
{
    Automatic, // udev events when udev runs, else a check every tick
    Udev,
    Poll,
};

struct DaemonOptions
{
    bool help = false;
    bool version = false;
    bool system = false;
    std::string config; // empty: the instance default
    std::string status;
    std::string runtimeDir;       // empty: /run/kelvane, or $XDG_RUNTIME_DIR/kelvane for a user daemon
    std::string systemRuntimeDir; // where a user daemon looks for the service's lock
    std::string sysfs = "/sys";
    HotplugMode hotplug = HotplugMode::Automatic;
    std::string error; // non-empty: the command line was not understood
};

DaemonOptions ParseDaemonOptions(const std::vector<std::string>& arguments);
extern const char kDaemonUsage[];
