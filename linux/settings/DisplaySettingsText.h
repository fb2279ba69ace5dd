#pragma once

#include "app/device/DisplayReport.h"

#include <cstddef>
#include <string>
#include <vector>

// What the settings file holds: the display settings, as the same integers the Windows program
// keeps (so both share one display rule), and the user's choice of sensors.
struct DaemonSettings
{
    DisplaySettings display;
    std::string cpuSensor; // a sensor id such as "k10temp/Tctl"; empty: chosen automatically
    std::string gpuSensor;
};

constexpr std::size_t kMaxReportedProblems = 20;
constexpr std::size_t kMaxSensorIdLength = 128;

// "key = value" lines for led (on|off), source (cpu|gpu), unit (c|f), cpu-sensor and gpu-sensor
// (ID|auto); '#' starts a comment.
struct SettingsParseResult
{
    DaemonSettings settings;
    // One line per line that could not be used, at most kMaxReportedProblems (the last then says
    // how many more there were); values are quoted cut short and escaped.
    std::vector<std::string> problems;
};

// Lines that cannot be used leave their setting at the default and are reported.
SettingsParseResult ParseSettingsText(const std::string& text);

// One "set KEY VALUE"; false with problem filled (naming the accepted values) when not understood.
bool ApplySetting(const std::string& key, const std::string& value, DaemonSettings& settings,
                  std::string& problem);

// text with the line that sets key replaced (the last one, which is the one that counts) by
// "key = value", or the line appended; comments and every other line are kept as they are.
// key and value must have passed ApplySetting.
std::string SetSettingLine(const std::string& text, const std::string& key, const std::string& value);

// "led on, source cpu, unit c, cpu-sensor auto, gpu-sensor auto"
std::string DescribeSettings(const DaemonSettings& settings);
// The value a key holds, as the settings file spells it ("on", "gpu", "auto", "k10temp/Tctl").
std::string SettingValue(const DaemonSettings& settings, const std::string& key);
extern const char* const kSettingKeys[5];
