#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

// The Unix times of an Info-ZIP extended-timestamp extra field ("UT", id 0x5455), as 100 ns ticks since
// 1601-01-01 (the FILETIME scale). Each time is present only when its flag bit is set and its four
// bytes are really there; the central directory's copy usually carries only the modification time.
struct ZipEntryTimes
{
    std::optional<std::uint64_t> lastWrite;
    std::optional<std::uint64_t> lastAccess;
    std::optional<std::uint64_t> creation;

    // Parses a whole extra-field block (a sequence of id, size, data records); malformed records end the
    // walk without reading past the block.
    static ZipEntryTimes FromExtraField(const unsigned char* extra, std::size_t size);

    static std::uint64_t UnixTimeToTicks(std::int32_t unixTime);
};
