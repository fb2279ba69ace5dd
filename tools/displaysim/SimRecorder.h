#pragma once

#include "tools/displaysim/DisplaySimControl.h"

#include <cstdio>
#include <deque>
#include <string>

// Keeps the most recent events in memory for tests and appends every event to the log file, if
// one is set, for a person to read. Callers serialise access (the bus's lock).
class SimRecorder
{
public:
    SimRecorder();
    ~SimRecorder();
    SimRecorder(const SimRecorder&) = delete;
    SimRecorder& operator=(const SimRecorder&) = delete;

    void SetLogPath(const std::string& path);
    void Add(int kind, int display, int collection, int requested, const unsigned char* data, int delivered,
             int result);
    void Clear() { m_records.clear(); }
    int Count() const { return static_cast<int>(m_records.size()); }
    bool Get(int index, DisplaySimRecord& out) const;

private:
    void WriteLine(const DisplaySimRecord& record, const unsigned char* data);

    static constexpr std::size_t kMaxRecords = 100000;
    std::deque<DisplaySimRecord> m_records;
    std::FILE* m_log = nullptr;
    std::string m_logPath;
    long long m_startCounter = 0;
    long long m_frequency = 1;
};
