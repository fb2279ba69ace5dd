#pragma once

#include "linux/settings/InstancePaths.h"

#include <ostream>
#include <string>

// The tool's commands; each returns its exit code and writes results to out, errors to err.
int ShowStatus(const InstancePaths& paths, std::ostream& out, std::ostream& err);
int ListDisplays(std::ostream& out, std::ostream& err);
int ChangeSetting(const InstancePaths& paths, bool user, const std::string& key, const std::string& value,
                  std::ostream& out, std::ostream& err);
