#pragma once
#include <string>
#include <vector>

// One line of the display simulator's log: what a simulated display saw.
struct SimLogEntry
{
    std::string utc; // wall clock, "YYYY-MM-DD hh:mm:ss.mmm"
    double ms = 0.0; // since the simulator started in the program's process
    int display = -1;
    std::string kind; // "open", "close", "set", "get"
    int result = 0;
    std::vector<int> bytes;

    bool IsTemperatureReport() const
    {
        return kind == "set" && result > 0 && bytes.size() >= 6 && bytes[0] == 0x07 && bytes[1] == 0xFF;
    }
    bool IsVersionRequest() const
    {
        return kind == "set" && bytes.size() >= 2 && bytes[0] == 0x07 && bytes[1] == 0xFD;
    }
    // Hundreds, tens, ones.
    std::vector<int> Digits() const { return {bytes[3], bytes[4], bytes[5]}; }
};

std::vector<SimLogEntry> ReadSimLog(const std::wstring& path);
// The wall clock now, in the log's format.
std::string UtcNow();
// Milliseconds since midnight of a time in the log's format; -1 when it does not parse.
long long UtcMilliseconds(const std::string& utc);
std::vector<SimLogEntry> TemperatureReports(const std::vector<SimLogEntry>& log);
