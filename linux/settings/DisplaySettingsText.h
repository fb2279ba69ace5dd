#pragma once

#include "app/device/DisplayReport.h"

#include <string>
#include <vector>

// The settings file: "key = value" lines for led (on|off), source (cpu|gpu) and unit (c|f).
// Values map onto the same integers the Windows program keeps, so both share one display rule.
struct SettingsParseResult
{
    DisplaySettings settings;
    std::vector<std::string> problems; // one line per line that could not be used
};

// Lines that cannot be used leave their setting at the default and are reported.
SettingsParseResult ParseSettingsText(const std::string& text);
std::string FormatSettingsText(const DisplaySettings& settings);

// One "set KEY VALUE"; false with problem filled (naming the accepted values) when not understood.
bool ApplySetting(const std::string& key, const std::string& value, DisplaySettings& settings,
                  std::string& problem);

// "led on, source cpu, unit c"
std::string DescribeSettings(const DisplaySettings& settings);
