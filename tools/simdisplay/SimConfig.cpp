#include "tools/simdisplay/SimConfig.h"

#include <cstdlib>
#include <map>
#include <sstream>
#include <utility>

namespace
{
std::string Trim(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
    {
        return {};
    }
    const auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

bool ParseNumber(const std::string& text, long& value, int base = 0)
{
    if (text.empty())
    {
        return false;
    }
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, base);
    return end && *end == '\0';
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, separator))
    {
        part = Trim(part);
        if (!part.empty())
        {
            parts.push_back(part);
        }
    }
    return parts;
}

bool ApplyFailures(const std::string& value, SimFailures& fail)
{
    fail = SimFailures{};
    bool ok = true;
    for (const std::string& name : Split(value, ','))
    {
        long count = 0;
        if (name == "open")
            fail.open = true;
        else if (name == "product")
            fail.product = true;
        else if (name == "send")
            fail.send = true;
        else if (name == "no_reply")
            fail.noReply = true;
        else if (name == "late_reply")
            fail.lateReply = true;
        else if (name.rfind("unplug_after_opens:", 0) == 0 && ParseNumber(name.substr(19), count) &&
                 count >= 0)
            fail.unplugAfterOpens = static_cast<int>(count);
        else if (name != "none")
            ok = false;
    }
    return ok;
}

bool ApplyDisplayKey(const std::string& key, const std::string& value, SimDisplayConfig& display)
{
    long number = 0;
    if (key == "fail")
    {
        return ApplyFailures(value, display.fail);
    }
    if (key == "product_name")
    {
        display.productName.assign(value.begin(), value.end());
        return true;
    }
    if (key == "collections")
    {
        std::vector<SimCollection> collections;
        for (const std::string& item : Split(value, ','))
        {
            const auto colon = item.find(':');
            long page = 0;
            long usage = 0;
            if (colon == std::string::npos || !ParseNumber(item.substr(0, colon), page, 16) ||
                !ParseNumber(item.substr(colon + 1), usage, 16))
            {
                return false;
            }
            collections.push_back(
                SimCollection{static_cast<std::uint16_t>(page), static_cast<std::uint16_t>(usage)});
        }
        display.collections = std::move(collections);
        return true;
    }
    if (key == "report_ids")
    {
        std::vector<std::uint8_t> ids;
        for (const std::string& item : Split(value, ','))
        {
            if (!ParseNumber(item, number, 16) || number < 0 || number > 255)
            {
                return false;
            }
            ids.push_back(static_cast<std::uint8_t>(number));
        }
        display.reportIds = std::move(ids);
        return true;
    }
    if (!ParseNumber(value, number))
    {
        return false;
    }
    if (key == "version")
        display.version = static_cast<std::uint16_t>(number);
    else if (key == "release")
        display.release = static_cast<std::uint16_t>(number);
    else if (key == "vendor_id")
        display.vendor = static_cast<std::uint16_t>(number);
    else if (key == "product_id")
        display.product = static_cast<std::uint16_t>(number);
    else if (key == "feature_length" && number >= 1 && number <= 4096)
        display.featureLength = static_cast<int>(number);
    else if (key == "path_length" && number >= 0 && number <= 65536)
        display.pathLength = static_cast<int>(number);
    else
        return false;
    return true;
}
} // namespace

SimConfig ParseSimConfig(const std::string& text, bool& ok)
{
    ok = true;
    SimConfig config;
    std::vector<std::pair<std::string, std::string>> commonKeys;
    std::map<long, std::vector<std::pair<std::string, std::string>>> displayKeys;
    long displays = 1;

    std::string normalised = text;
    for (char& c : normalised)
    {
        if (c == ';')
            c = '\n';
    }
    for (std::string line : Split(normalised, '\n'))
    {
        const auto hash = line.find('#');
        line = Trim(line.substr(0, hash));
        if (line.empty())
        {
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos)
        {
            ok = false;
            continue;
        }
        const std::string key = Trim(line.substr(0, equals));
        const std::string value = Trim(line.substr(equals + 1));
        long number = 0;
        if (key == "displays")
        {
            if (ParseNumber(value, number) && number >= 0 && number <= 64)
                displays = number;
            else
                ok = false;
        }
        else if (key == "foreign_devices")
        {
            if (ParseNumber(value, number) && number >= 0 && number <= 64)
                config.foreignDevices = static_cast<int>(number);
            else
                ok = false;
        }
        else if (key == "init_fails")
        {
            config.initFails = value == "1";
        }
        else if (key == "log")
        {
            config.logPath = value;
        }
        else if (key.rfind("display.", 0) == 0)
        {
            const auto dot = key.find('.', 8);
            if (dot == std::string::npos || !ParseNumber(key.substr(8, dot - 8), number) || number < 0)
            {
                ok = false;
                continue;
            }
            displayKeys[number].emplace_back(key.substr(dot + 1), value);
        }
        else
        {
            commonKeys.emplace_back(key, value);
        }
    }

    config.displays.assign(static_cast<std::size_t>(displays), SimDisplayConfig{});
    for (long i = 0; i < displays; ++i)
    {
        SimDisplayConfig& display = config.displays[static_cast<std::size_t>(i)];
        for (const auto& [key, value] : commonKeys)
        {
            ok = ApplyDisplayKey(key, value, display) && ok;
        }
        for (const auto& [key, value] : displayKeys[i])
        {
            ok = ApplyDisplayKey(key, value, display) && ok;
        }
    }
    for (const auto& [index, keys] : displayKeys)
    {
        if (index >= displays)
        {
            ok = false;
        }
    }
    return config;
}
