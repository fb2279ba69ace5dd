#include "app/update/archive/ZipEntryTimes.h"

namespace
{
std::uint32_t ReadLittle(const unsigned char* p, std::size_t bytes)
{
    std::uint32_t value = 0;
    for (std::size_t i = bytes; i > 0; --i)
        value = (value << 8) | p[i - 1];
    return value;
}
} // namespace

std::uint64_t ZipEntryTimes::UnixTimeToTicks(std::int32_t unixTime)
{
    constexpr std::int64_t secondsFrom1601To1970 = 11644473600LL;
    return static_cast<std::uint64_t>((static_cast<std::int64_t>(unixTime) + secondsFrom1601To1970) *
                                      10000000LL);
}

ZipEntryTimes ZipEntryTimes::FromExtraField(const unsigned char* extra, std::size_t size)
{
    ZipEntryTimes times;
    std::size_t pos = 0;
    while (extra != nullptr && pos + 4 <= size)
    {
        const std::uint32_t id = ReadLittle(extra + pos, 2);
        const std::size_t length = ReadLittle(extra + pos + 2, 2);
        pos += 4;
        if (pos + length > size)
            break;
        if (id == 0x5455 && length >= 1)
        {
            const unsigned char* data = extra + pos;
            const unsigned flags = data[0];
            std::size_t at = 1;
            std::optional<std::uint64_t>* slots[] = {&times.lastWrite, &times.lastAccess, &times.creation};
            for (unsigned bit = 0; bit < 3; ++bit)
            {
                if ((flags & (1u << bit)) == 0)
                    continue;
                if (at + 4 > length)
                    break;
                *slots[bit] = UnixTimeToTicks(static_cast<std::int32_t>(ReadLittle(data + at, 4)));
                at += 4;
            }
        }
        pos += length;
    }
    return times;
}
