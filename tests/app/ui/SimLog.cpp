#include "tests/app/ui/SimLog.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace
{
bool ParseLine(const std::string& line, SimLogEntry& entry)
{
    std::istringstream words(line);
    std::string date, time, utc, msWord, word;
    if (!(words >> date >> time >> utc >> entry.ms >> msWord) || utc != "UTC")
        return false;
    entry.utc = date + " " + time;
    int collection = 0;
    if (!(words >> word >> entry.display >> word >> collection >> entry.kind))
        return false;
    while (words >> word)
    {
        if (word == "result")
            words >> entry.result;
        else if (word == "bytes")
        {
            // Trailing zeros are summarised as "(+N zero)".
            std::string hex;
            while (words >> hex)
            {
                if (hex.rfind("(+", 0) == 0)
                {
                    entry.bytes.resize(entry.bytes.size() + std::stoul(hex.substr(2)), 0);
                    break;
                }
                entry.bytes.push_back(std::stoi(hex, nullptr, 16));
            }
            break;
        }
    }
    return true;
}
} // namespace

std::vector<SimLogEntry> ReadSimLog(const std::wstring& path)
{
    std::vector<SimLogEntry> entries;
    std::ifstream file(path.c_str());
    std::string line;
    while (std::getline(file, line))
    {
        SimLogEntry entry;
        if (ParseLine(line, entry))
            entries.push_back(entry);
    }
    return entries;
}

std::vector<SimLogEntry> TemperatureReports(const std::vector<SimLogEntry>& log)
{
    std::vector<SimLogEntry> reports;
    for (const SimLogEntry& entry : log)
        if (entry.IsTemperatureReport())
            reports.push_back(entry);
    return reports;
}

std::string UtcNow()
{
    SYSTEMTIME now = {};
    GetSystemTime(&now);
    char text[32] = {};
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    return text;
}

long long UtcMilliseconds(const std::string& utc)
{
    unsigned year, month, day, hour, minute, second, ms;
    if (std::sscanf(utc.c_str(), "%u-%u-%u %u:%u:%u.%u", &year, &month, &day, &hour, &minute, &second, &ms) !=
        7)
        return -1;
    return ((hour * 60LL + minute) * 60LL + second) * 1000LL + ms;
}
