#pragma once

#include <cstdint>

// File attributes of an archive entry, decoded from the central directory's "version made by" and
// external attribute fields. MS-DOS-like hosts store the attribute byte; others store a Unix mode in the
// high 16 bits.
struct ZipEntryAttributes
{
    bool readOnly = false;
    bool hidden = false;
    bool system = false;
    bool directory = false;
    bool archive = false;

    static ZipEntryAttributes Decode(std::uint32_t versionMadeBy, std::uint32_t externalAttributes);

    // The value for CreateFileW: FILE_ATTRIBUTE_* bits, or FILE_ATTRIBUTE_NORMAL (0x80) when none is set.
    std::uint32_t ToFileAttributes() const;
};
