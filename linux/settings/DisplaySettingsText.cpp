#include "linux/settings/DisplaySettingsText.h"

#include <algorithm>
#include <cctype>
#include <sstream>

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
} // namespace

bool ApplySetting(const std::string& rawKey, const std::string& rawValue, DisplaySettings& settings,
                  std::string& problem)
{
    const std::string shownKey = Trim(rawKey);
    const std::string shownValue = Trim(rawValue);
    const std::string key = Lower(shownKey);
    const std::string value = Lower(shownValue);
    if (key == "led")
    {
        if (value == "on" || value == "off")
        {
            settings.ledSwitch = value == "on" ? 1 : 2;
            return true;
        }
        problem = "led takes on or off, not '" + shownValue + "'";
        return false;
    }
    if (key == "source")
    {
        if (value == "cpu" || value == "gpu")
        {
            settings.deviceType = value == "gpu" ? 1 : 0;
            return true;
        }
        problem = "source takes cpu or gpu, not '" + shownValue + "'";
        return false;
    }
    if (key == "unit")
    {
        if (value == "c" || value == "f")
        {
            settings.tempeType = value == "f" ? 1 : 0;
            return true;
        }
        problem = "unit takes c or f, not '" + shownValue + "'";
        return false;
    }
    problem = "unknown setting '" + shownKey + "' (known: led, source, unit)";
    return false;
}

SettingsParseResult ParseSettingsText(const std::string& text)
{
    SettingsParseResult result;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
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
        if (!problem.empty())
        {
            result.problems.push_back("line " + std::to_string(number) + ": " + problem);
        }
    }
    return result;
}

std::string FormatSettingsText(const DisplaySettings& settings)
{
    std::ostringstream out;
    out << "# Cooler display settings; change them with kelvanectl set.\n"
        << "led = " << (settings.ledSwitch == 1 ? "on" : "off") << "\n"
        << "source = " << (settings.deviceType != 0 ? "gpu" : "cpu") << "\n"
        << "unit = " << (settings.tempeType == 1 ? "f" : "c") << "\n";
    return out.str();
}

std::string DescribeSettings(const DisplaySettings& settings)
{
    return std::string("led ") + (settings.ledSwitch == 1 ? "on" : "off") + ", source " +
           (settings.deviceType != 0 ? "gpu" : "cpu") + ", unit " + (settings.tempeType == 1 ? "f" : "c");
}
