#pragma once

#include "linux/devices/DisplayStatus.h"
#include "linux/settings/DisplaySettingsText.h"

#include <string>
#include <vector>

// One side of the display (cpu or gpu): the sensor in use and its reading.
struct SensorStatus
{
    std::string id;          // the sensor used or waited for; empty when none was found
    std::string state;       // "ok", "unreadable", "missing" (absent), "none" (none found)
    std::string description; // "k10temp/Tctl (/sys/class/hwmon/hwmon2/temp1_input)", or why none
    std::string reading;     // "45.6 C" or "no reading: why"
    bool hasCelsius = false;
    double celsius = 0.0;
};

// What the daemon publishes for the tool: one "key=value" line per field, displays one per line
// with tab-separated fields. Written by the daemon, read by kelvanectl status, sensors and list.
// Every text field is escaped (no control character, so no line break or tab inside a field).
struct DaemonStatus
{
    long pid = 0;
    std::string config;
    DaemonSettings settings;
    std::vector<std::string> configProblems;
    std::string hotplug;
    SensorStatus cpu;
    SensorStatus gpu;
    std::string shows;     // "45 C (cpu)", or "blank (led off)"
    bool hasValue = false; // false while the digits are off
    long value = 0;        // the number on the display, in the chosen unit
    std::vector<DisplayStatus> displays;
    std::vector<std::string> problems; // for instance a display that could not be opened
};

std::string FormatDaemonStatus(const DaemonStatus& status);
// Unknown lines are skipped so an older tool can read a newer daemon's status.
DaemonStatus ParseDaemonStatus(const std::string& text);
// "45.6", "45": a reading as the status and the JSON output write it.
std::string FormatCelsiusNumber(double celsius);
