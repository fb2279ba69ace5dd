#pragma once

#include <string>
#include <vector>

// Exit codes scripts can rely on (also listed in --help and the man page).
enum ToolExit
{
    kExitOk = 0,
    kExitFailed = 1,     // the operation could not be done (for instance no permission)
    kExitUsage = 2,      // the command line was not understood, or names no such sensor
    kExitNotRunning = 3, // status: no daemon is running
};

struct ToolCommandLine
{
    enum class Command
    {
        Help,
        Version,
        Status,
        List,
        Sensors,
        Set,
    };

    Command command = Command::Help;
    bool user = false; // the user's own daemon instead of the service
    bool json = false; // status, sensors and list: one JSON document
    std::string config;
    std::string status;
    std::string sysfs = "/sys";
    std::string key; // set: led, source, unit, cpu-sensor or gpu-sensor
    std::string value;
    std::string error; // non-empty: not understood; say this and exit with kExitUsage
};

ToolCommandLine ParseToolCommandLine(const std::vector<std::string>& arguments);
extern const char kToolUsage[];
