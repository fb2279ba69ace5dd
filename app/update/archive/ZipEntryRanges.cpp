#include "app/update/archive/ZipEntryRanges.h"

#include <algorithm>

bool AreDisjoint(std::vector<ZipEntryRange> ranges)
{
    std::sort(ranges.begin(), ranges.end(),
              [](const ZipEntryRange& a, const ZipEntryRange& b) { return a.begin < b.begin; });
    for (std::size_t i = 0; i < ranges.size(); ++i)
    {
        if (ranges[i].end <= ranges[i].begin)
            return false;
        if (i > 0 && ranges[i].begin < ranges[i - 1].end)
            return false;
    }
    return true;
}
