#pragma once

#include "linux/settings/InstancePaths.h"

#include <ostream>
#include <string>

// The tool's commands; each returns its exit code and writes results to out, errors to err. Every
// text that came from a file, sysfs or a device is escaped before it is written.
int ShowStatus(const InstancePaths& paths, bool json, std::ostream& out, std::ostream& err);
int ListDisplays(bool json, std::ostream& out, std::ostream& err);
int ShowSensors(const InstancePaths& paths, const std::string& sysfs, bool json, std::ostream& out,
                std::ostream& err);
int ChangeSetting(const InstancePaths& paths, const std::string& sysfs, const std::string& key,
                  const std::string& value, std::ostream& out, std::ostream& err);
