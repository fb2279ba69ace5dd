#pragma once

// C++ convenience over the simulator's record API, for tests and demos.
#include "tools/displaysim/DisplaySimControl.h"

#include <vector>

// Every kept record of the given kind (0: all kinds), oldest first.
inline std::vector<DisplaySimRecord> DisplaySimRecords(int kind = 0)
{
    std::vector<DisplaySimRecord> records;
    const int count = displaysim_record_count();
    for (int i = 0; i < count; ++i)
    {
        DisplaySimRecord record{};
        if (displaysim_get_record(i, &record) && (kind == 0 || record.kind == kind))
        {
            records.push_back(record);
        }
    }
    return records;
}

// Feature reports that a display accepted (a failed set is recorded with result -1).
inline std::vector<DisplaySimRecord> DisplaySimReceivedReports()
{
    std::vector<DisplaySimRecord> received;
    for (const DisplaySimRecord& record : DisplaySimRecords(DISPLAYSIM_SET))
    {
        if (record.result > 0)
        {
            received.push_back(record);
        }
    }
    return received;
}
