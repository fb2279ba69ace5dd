#include "app/update/archive/ZipEntryAttributes.h"

namespace
{
// Host codes of MS-DOS (FAT), OS/2 HPFS, Windows NTFS and VFAT.
bool IsDosLikeHost(std::uint32_t host)
{
    return host == 0 || host == 7 || host == 11 || host == 14;
}

// The same values as FILE_ATTRIBUTE_*; kept here so this file stays free of the Windows headers.
constexpr std::uint32_t kReadOnly = 0x01;
constexpr std::uint32_t kHidden = 0x02;
constexpr std::uint32_t kSystem = 0x04;
constexpr std::uint32_t kArchive = 0x20;
constexpr std::uint32_t kNormal = 0x80;
} // namespace

ZipEntryAttributes ZipEntryAttributes::Decode(std::uint32_t versionMadeBy, std::uint32_t externalAttributes)
{
    ZipEntryAttributes a;
    if (IsDosLikeHost((versionMadeBy >> 8) & 0xFF))
    {
        a.readOnly = (externalAttributes & 0x01) != 0;
        a.hidden = (externalAttributes & 0x02) != 0;
        a.system = (externalAttributes & 0x04) != 0;
        a.directory = (externalAttributes & 0x10) != 0;
        a.archive = (externalAttributes & 0x20) != 0;
    }
    else
    {
        a.directory = (externalAttributes & (1u << 30)) != 0;
        a.readOnly = (externalAttributes & (1u << 23)) == 0;
        a.archive = true;
    }
    return a;
}

std::uint32_t ZipEntryAttributes::ToFileAttributes() const
{
    std::uint32_t value = 0;
    if (readOnly)
        value |= kReadOnly;
    if (hidden)
        value |= kHidden;
    if (system)
        value |= kSystem;
    if (archive)
        value |= kArchive;
    return value != 0 ? value : kNormal;
}
