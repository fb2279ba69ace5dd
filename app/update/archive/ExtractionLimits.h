#pragma once

#include <cstdint>

// What one archive may unpack to. Anything beyond fails the whole archive. An update holds one installer
// and a few files beside it, so the defaults leave ample room.
struct ExtractionLimits
{
    std::uint64_t maxEntries = 4096;
    std::uint64_t maxTotalBytes = 512ull << 20;
    std::uint64_t maxEntryBytes = 256ull << 20;
};
