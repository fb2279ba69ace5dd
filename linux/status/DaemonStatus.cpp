#include "linux/status/DaemonStatus.h"

#include <cstdlib>
#include <tuple>
#include <sstream>

namespace
{
// Field values must stay on one line and keep tabs for the display fields.
std::string OneLine(std::string text)
{
    for (char& c : text)
    {
        if (c == '\n' || c == '\r' || c == '\t')
        {
            c = ' ';
        }
    }
    return text;
}

std::vector<std::string> SplitTabs(const std::string& text)
{
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;)
    {
        const auto tab = text.find('\t', start);
        parts.push_back(text.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
        {
            return parts;
        }
        start = tab + 1;
    }
}
} // namespace

bool operator==(const DisplayStatus& a, const DisplayStatus& b)
{
    return std::tie(a.path, a.product, a.firmware, a.shows) ==
           std::tie(b.path, b.product, b.firmware, b.shows);
}

bool operator==(const DaemonStatus& a, const DaemonStatus& b)
{
    return std::tie(a.pid, a.config, a.settings, a.configProblems, a.hotplug, a.cpuSensor, a.cpuReading,
                    a.gpuSensor, a.gpuReading, a.shows, a.displays, a.problems) ==
           std::tie(b.pid, b.config, b.settings, b.configProblems, b.hotplug, b.cpuSensor, b.cpuReading,
                    b.gpuSensor, b.gpuReading, b.shows, b.displays, b.problems);
}

std::string FormatDaemonStatus(const DaemonStatus& status)
{
    std::ostringstream out;
    out << "pid=" << status.pid << "\n"
        << "config=" << OneLine(status.config) << "\n"
        << "settings=" << OneLine(status.settings) << "\n";
    for (const std::string& problem : status.configProblems)
    {
        out << "config_problem=" << OneLine(problem) << "\n";
    }
    out << "hotplug=" << OneLine(status.hotplug) << "\n"
        << "cpu_sensor=" << OneLine(status.cpuSensor) << "\n"
        << "cpu_reading=" << OneLine(status.cpuReading) << "\n"
        << "gpu_sensor=" << OneLine(status.gpuSensor) << "\n"
        << "gpu_reading=" << OneLine(status.gpuReading) << "\n"
        << "shows=" << OneLine(status.shows) << "\n";
    for (const DisplayStatus& display : status.displays)
    {
        out << "display=" << OneLine(display.path) << "\t" << OneLine(display.product) << "\t"
            << OneLine(display.firmware) << "\t" << OneLine(display.shows) << "\n";
    }
    for (const std::string& problem : status.problems)
    {
        out << "problem=" << OneLine(problem) << "\n";
    }
    return out.str();
}

DaemonStatus ParseDaemonStatus(const std::string& text)
{
    DaemonStatus status;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
    {
        const auto equals = line.find('=');
        if (equals == std::string::npos)
        {
            continue;
        }
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (key == "pid")
            status.pid = std::strtol(value.c_str(), nullptr, 10);
        else if (key == "config")
            status.config = value;
        else if (key == "settings")
            status.settings = value;
        else if (key == "config_problem")
            status.configProblems.push_back(value);
        else if (key == "hotplug")
            status.hotplug = value;
        else if (key == "cpu_sensor")
            status.cpuSensor = value;
        else if (key == "cpu_reading")
            status.cpuReading = value;
        else if (key == "gpu_sensor")
            status.gpuSensor = value;
        else if (key == "gpu_reading")
            status.gpuReading = value;
        else if (key == "shows")
            status.shows = value;
        else if (key == "problem")
            status.problems.push_back(value);
        else if (key == "display")
        {
            std::vector<std::string> fields = SplitTabs(value);
            fields.resize(4);
            status.displays.push_back({fields[0], fields[1], fields[2], fields[3]});
        }
    }
    return status;
}
