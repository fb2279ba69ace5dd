#pragma once

#include <functional>
#include <string>

// Syslog priorities of the daemon's lines; the journal files them by these numbers.
enum class LogPriority
{
    Error = 3,
    Warning = 4,
    Info = 6,
};

using LogFunction = std::function<void(LogPriority, const std::string&)>;
