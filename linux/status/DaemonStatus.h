#pragma once

#include <string>
#include <vector>

// What the daemon publishes for the tool: one "key=value" line per field, displays one per line
// with tab-separated fields. Written by the daemon, read by kelvanectl status and list.
struct DisplayStatus
{
    std::string path;
    std::string product;
    std::string firmware; // "0x0103", or "unknown" when the display did not answer
    std::string shows;    // what the last report carried, or why it did not arrive
};

struct DaemonStatus
{
    long pid = 0;
    std::string config;
    std::string settings;
    std::vector<std::string> configProblems;
    std::string hotplug;
    std::string cpuSensor;
    std::string cpuReading;
    std::string gpuSensor;
    std::string gpuReading;
    std::string shows;
    std::vector<DisplayStatus> displays;
    std::vector<std::string> problems; // for instance a display that could not be opened
};

bool operator==(const DisplayStatus& a, const DisplayStatus& b);
bool operator==(const DaemonStatus& a, const DaemonStatus& b);
inline bool operator!=(const DaemonStatus& a, const DaemonStatus& b)
{
    return !(a == b);
}

std::string FormatDaemonStatus(const DaemonStatus& status);
// Unknown lines are skipped so an older tool can read a newer daemon's status.
DaemonStatus ParseDaemonStatus(const std::string& text);
