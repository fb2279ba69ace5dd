#pragma once

#include "tests/linux/ScratchFolder.h"

#include <string>
#include <vector>

// Fake sysfs trees in a scratch folder (under sys/), shaped like the kernel drivers' own.

// One temperature channel of an hwmon device: label ("" for none) and value file contents.
struct Channel
{
    std::string label;
    std::string value; // millidegrees as the kernel writes them, or anything a broken driver might
};

// Adds sys/class/hwmon/hwmon<number> for driver with channels temp1, temp2, ...
void AddHwmon(const ScratchFolder& tree, int number, const std::string& driver,
              const std::vector<Channel>& channels);
void AddThermalZone(const ScratchFolder& tree, int number, const std::string& type, const std::string& value);

// The machines the tests use, as their drivers publish them.
void AddRyzenWithRadeon(const ScratchFolder& tree, const std::string& tctl, const std::string& edge);
void AddIntelDesktop(const ScratchFolder& tree, const std::string& package);
