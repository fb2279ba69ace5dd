#include "linux/settings/DisplaySettingsText.h"

#include "linux/platform/SafeText.h"

#include <algorithm>
#include <cctype>
#include <sstream>

const char* const kSettingKeys[5] = {"led", "source", "unit", "cpu-sensor", "gpu-sensor"};

namespace
{
std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
    {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// One of two words, mapped onto the Windows program's integer for it.
bool Choose(const std::string& key, const std::string& value, const std::string& shown, const char* first,
            const char* second, int ifFirst, int ifSecond, int& into, std::string& problem)
{
    if (value == first || value == second)
    {
        into = value == first ? ifFirst : ifSecond;
        return true;
    }
    problem = key + " takes " + first + " or " + second + ", not '" + QuoteValue(shown) + "'";
    return false;
}

bool ChooseSensor(const std::string& key, const std::string& shown, std::string& into, std::string& problem)
{
    if (Lower(shown) == "auto")
    {
        into.clear();
        return true;
    }
    const bool control = std::any_of(shown.begin(), shown.end(),
                                     [](unsigned char c) { return c < 0x20 || c == 0x7F || c == '#'; });
    if (shown.empty() || shown.size() > kMaxSensorIdLength || control)
    {
        problem =
            key + " takes a sensor id (see kelvanectl sensors) or auto, not '" + QuoteValue(shown) + "'";
        return false;
    }
    into = shown;
    return true;
}

// The key a settings line sets, lower case; empty for comments, blank and broken lines.
std::string LineKey(const std::string& line)
{
    const std::string content = line.substr(0, line.find('#'));
    const auto equals = content.find('=');
    return equals == std::string::npos ? std::string() : Lower(Trim(content.substr(0, equals)));
}
} // namespace

bool ApplySetting(const std::string& rawKey, const std::string& rawValue, DaemonSettings& settings,
                  std::string& problem)
{
    const std::string shownKey = Trim(rawKey);
    const std::string shownValue = Trim(rawValue);
    const std::string key = Lower(shownKey);
    const std::string value = Lower(shownValue);
    DisplaySettings& display = settings.display;
    if (key == "led")
        return Choose(key, value, shownValue, "on", "off", 1, 2, display.ledSwitch, problem);
    if (key == "source")
        return Choose(key, value, shownValue, "cpu", "gpu", 0, 1, display.deviceType, problem);
    if (key == "unit")
        return Choose(key, value, shownValue, "c", "f", 0, 1, display.tempeType, problem);
    if (key == "cpu-sensor")
        return ChooseSensor(key, shownValue, settings.cpuSensor, problem);
    if (key == "gpu-sensor")
        return ChooseSensor(key, shownValue, settings.gpuSensor, problem);
    problem =
        "unknown setting '" + QuoteValue(shownKey) + "' (known: led, source, unit, cpu-sensor, gpu-sensor)";
    return false;
}

SettingsParseResult ParseSettingsText(const std::string& text)
{
    SettingsParseResult result;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    std::size_t unusable = 0;
    while (std::getline(lines, line))
    {
        ++number;
        const std::string content = Trim(line.substr(0, line.find('#')));
        if (content.empty())
        {
            continue;
        }
        const auto equals = content.find('=');
        std::string problem;
        if (equals == std::string::npos)
        {
            problem = "expected key = value";
        }
        else
        {
            ApplySetting(content.substr(0, equals), content.substr(equals + 1), result.settings, problem);
        }
        if (problem.empty())
        {
            continue;
        }
        if (++unusable <= kMaxReportedProblems)
        {
            result.problems.push_back("line " + std::to_string(number) + ": " + problem);
        }
    }
    if (unusable > kMaxReportedProblems) // the last slot counts the rest instead of naming one
    {
        result.problems.back() =
            std::to_string(unusable - kMaxReportedProblems + 1) + " more lines could not be used";
    }
    return result;
}

std::string SetSettingLine(const std::string& text, const std::string& key, const std::string& value)
{
    const std::string wanted = Lower(Trim(key));
    const std::string setting = wanted + " = " + Trim(value);
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
    {
        lines.push_back(line);
    }
    const auto last = std::find_if(lines.rbegin(), lines.rend(),
                                   [&](const std::string& line) { return LineKey(line) == wanted; });
    if (last == lines.rend())
    {
        if (lines.empty())
        {
            lines.push_back("# Cooler display settings; change them with kelvanectl set.");
        }
        lines.push_back(setting);
    }
    else
    {
        const auto comment = last->find('#');
        *last = setting + (comment == std::string::npos ? "" : "  " + last->substr(comment));
    }
    std::string out;
    for (const std::string& line : lines)
    {
        out += line + "\n";
    }
    return out;
}

std::string SettingValue(const DaemonSettings& settings, const std::string& key)
{
    const DisplaySettings& display = settings.display;
    if (key == "led")
        return display.ledSwitch == 1 ? "on" : "off";
    if (key == "source")
        return display.deviceType != 0 ? "gpu" : "cpu";
    if (key == "unit")
        return display.tempeType == 1 ? "f" : "c";
    if (key == "cpu-sensor")
        return settings.cpuSensor.empty() ? "auto" : settings.cpuSensor;
    if (key == "gpu-sensor")
        return settings.gpuSensor.empty() ? "auto" : settings.gpuSensor;
    return {};
}

std::string DescribeSettings(const DaemonSettings& settings)
{
    std::string text;
    for (const char* key : kSettingKeys)
    {
        text +=
            (text.empty() ? "" : ", ") + std::string(key) + " " + EscapeControls(SettingValue(settings, key));
    }
    return text;
}
