#include "linux/status/DaemonStatus.h"

#include "linux/platform/SafeText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace
{
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

void FormatSensor(std::ostream& out, const char* side, const SensorStatus& sensor)
{
    out << side << "_id=" << EscapeControls(sensor.id) << "\n"
        << side << "_state=" << EscapeControls(sensor.state) << "\n"
        << side << "_sensor=" << EscapeControls(sensor.description) << "\n"
        << side << "_reading=" << EscapeControls(sensor.reading) << "\n"
        << side << "_celsius=" << (sensor.hasCelsius ? FormatCelsiusNumber(sensor.celsius) : "") << "\n";
}

// True when key ("id", "state"...) of one side was understood.
bool ParseSensor(const std::string& key, const std::string& value, SensorStatus& sensor)
{
    if (key == "id")
        sensor.id = value;
    else if (key == "state")
        sensor.state = value;
    else if (key == "sensor")
        sensor.description = value;
    else if (key == "reading")
        sensor.reading = value;
    else if (key == "celsius")
    {
        char* end = nullptr;
        sensor.celsius = std::strtod(value.c_str(), &end);
        sensor.hasCelsius = !value.empty() && *end == '\0' && std::isfinite(sensor.celsius);
    }
    else
        return false;
    return true;
}
} // namespace

std::string FormatCelsiusNumber(double celsius)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", celsius);
    std::string number = text;
    number.erase(number.find_last_not_of('0') + 1);
    if (number.back() == '.')
    {
        number.pop_back();
    }
    return number == "-0" ? "0" : number;
}

std::string FormatDaemonStatus(const DaemonStatus& status)
{
    std::ostringstream out;
    out << "pid=" << status.pid << "\n"
        << "config=" << EscapeControls(status.config) << "\n";
    out << "settings=" << DescribeSettings(status.settings) << "\n"; // for people reading the file
    for (const char* key : kSettingKeys)                             // the settings file's own keys and words
    {
        out << key << "=" << EscapeControls(SettingValue(status.settings, key)) << "\n";
    }
    for (const std::string& problem : status.configProblems)
    {
        out << "config_problem=" << EscapeControls(problem) << "\n";
    }
    out << "hotplug=" << EscapeControls(status.hotplug) << "\n";
    FormatSensor(out, "cpu", status.cpu);
    FormatSensor(out, "gpu", status.gpu);
    out << "shows=" << EscapeControls(status.shows) << "\n"
        << "shows_value=" << (status.hasValue ? std::to_string(status.value) : "") << "\n";
    for (const DisplayStatus& display : status.displays)
    {
        out << "display=" << EscapeControls(display.path) << "\t" << EscapeControls(display.product) << "\t"
            << EscapeControls(display.firmware) << "\t" << EscapeControls(display.shows) << "\n";
    }
    for (const std::string& problem : status.problems)
    {
        out << "problem=" << EscapeControls(problem) << "\n";
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
        // Escaped again: a file that did not come from the daemon may hold anything.
        const std::string value = EscapeControls(line.substr(equals + 1));
        std::string ignored;
        if (key == "pid")
            status.pid = std::strtol(value.c_str(), nullptr, 10);
        else if (key == "config")
            status.config = value;
        else if (key == "config_problem")
            status.configProblems.push_back(value);
        else if (key == "hotplug")
            status.hotplug = value;
        else if (key.rfind("cpu_", 0) == 0 && ParseSensor(key.substr(4), value, status.cpu))
            continue;
        else if (key.rfind("gpu_", 0) == 0 && ParseSensor(key.substr(4), value, status.gpu))
            continue;
        else if (key == "shows")
            status.shows = value;
        else if (key == "shows_value")
        {
            status.hasValue = !value.empty();
            status.value = std::strtol(value.c_str(), nullptr, 10);
        }
        else if (key == "problem")
            status.problems.push_back(value);
        else if (key == "display")
        {
            std::vector<std::string> fields = SplitTabs(line.substr(equals + 1));
            fields.resize(4);
            status.displays.push_back({EscapeControls(fields[0]), EscapeControls(fields[1]),
                                       EscapeControls(fields[2]), EscapeControls(fields[3])});
        }
        else
            ApplySetting(key, value, status.settings, ignored);
    }
    return status;
}
