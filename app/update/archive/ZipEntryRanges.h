#pragma once

#include <cstdint>
#include <vector>

// The bytes one archive entry occupies: its local header, name, extra field and stored data.
struct ZipEntryRange
{
    std::uint64_t begin = 0;
    std::uint64_t end = 0; // one past the last byte
};

// True when no two entries share a byte. Entries that share data (one local header named by two
// central entries, or data running into the next entry) would let a few bytes expand into many files.
bool AreDisjoint(std::vector<ZipEntryRange> ranges);
