#include "tools/displaysim/SimRecorder.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace
{
const char* KindName(int kind)
{
    switch (kind)
    {
    case DISPLAYSIM_OPEN:
        return "open ";
    case DISPLAYSIM_CLOSE:
        return "close";
    case DISPLAYSIM_SET:
        return "set  ";
    case DISPLAYSIM_GET:
        return "get  ";
    }
    return "?    ";
}
} // namespace

SimRecorder::SimRecorder()
{
    LARGE_INTEGER value;
    QueryPerformanceFrequency(&value);
    m_frequency = value.QuadPart ? value.QuadPart : 1;
    QueryPerformanceCounter(&value);
    m_startCounter = value.QuadPart;
}

SimRecorder::~SimRecorder()
{
    if (m_log)
    {
        std::fclose(m_log);
    }
}

void SimRecorder::SetLogPath(const std::string& path)
{
    if (path == m_logPath)
    {
        return;
    }
    if (m_log)
    {
        std::fclose(m_log);
        m_log = nullptr;
    }
    m_logPath = path;
    if (!path.empty())
    {
        m_log = std::fopen(path.c_str(), "a");
    }
}

void SimRecorder::Add(int kind, int display, int collection, int requested, const unsigned char* data,
                      int delivered, int result)
{
    DisplaySimRecord record{};
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    record.microseconds = (now.QuadPart - m_startCounter) * 1000000 / m_frequency;
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    std::snprintf(record.utc, sizeof record.utc, "%04u-%02u-%02u %02u:%02u:%02u.%03u", utc.wYear, utc.wMonth,
                  utc.wDay, utc.wHour, utc.wMinute, utc.wSecond, utc.wMilliseconds);
    record.kind = kind;
    record.display = display;
    record.collection = collection;
    record.requested = requested;
    record.delivered = delivered;
    record.result = result;
    if (data && delivered > 0)
    {
        std::memcpy(record.data, data,
                    static_cast<std::size_t>(std::min(delivered, int{DISPLAYSIM_RECORD_BYTES})));
    }
    if (m_records.size() >= kMaxRecords)
    {
        m_records.pop_front();
    }
    m_records.push_back(record);
    WriteLine(record, data);
}

bool SimRecorder::Get(int index, DisplaySimRecord& out) const
{
    if (index < 0 || index >= Count())
    {
        return false;
    }
    out = m_records[static_cast<std::size_t>(index)];
    return true;
}

void SimRecorder::WriteLine(const DisplaySimRecord& record, const unsigned char* data)
{
    if (!m_log)
    {
        return;
    }
    std::fprintf(m_log,
                 "%s UTC  %10.3f ms  display %d  collection %d  %s  requested %d  delivered %d  result %d",
                 record.utc, static_cast<double>(record.microseconds) / 1000.0, record.display,
                 record.collection, KindName(record.kind), record.requested, record.delivered, record.result);
    if (data && record.delivered > 0)
    {
        // Trailing zero padding is summarised so a report fits on one line.
        int shown = record.delivered;
        while (shown > 0 && data[shown - 1] == 0)
        {
            --shown;
        }
        std::fputs("  bytes", m_log);
        for (int i = 0; i < shown; ++i)
        {
            std::fprintf(m_log, " %02x", data[i]);
        }
        if (shown < record.delivered)
        {
            std::fprintf(m_log, " (+%d zero)", record.delivered - shown);
        }
    }
    std::fputc('\n', m_log);
    std::fflush(m_log);
}
