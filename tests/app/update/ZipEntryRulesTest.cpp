#include "app/update/staging/PlainName.h"
#include "app/update/archive/ZipEntryAttributes.h"
#include "app/update/archive/ZipEntryName.h"
#include "app/update/archive/ZipEntryTimes.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
std::wstring PathOf(const std::wstring& name)
{
    const auto path = SafeZipEntryPath(name);
    return path ? *path : L"<skipped>";
}
} // namespace

TEST(ZipEntryName, KeepsPlainNamesWithBackslashes)
{
    EXPECT_EQ(PathOf(L"Software-1.0.0.20.exe"), L"Software-1.0.0.20.exe");
    EXPECT_EQ(PathOf(L"skins/theme1/img.png"), L"skins\\theme1\\img.png");
    EXPECT_EQ(PathOf(L"a/./b//c"), L"a\\b\\c");
    EXPECT_EQ(PathOf(L"skins/"), L"skins\\");
    EXPECT_EQ(PathOf(L"..a/b..c"), L"..a\\b..c");
}

TEST(ZipEntryName, DropsDrivesLeadingSeparatorsAndEverythingBeforeAnInnerParent)
{
    EXPECT_EQ(PathOf(L"..\\..\\Windows\\x.exe"), L"Windows\\x.exe");
    EXPECT_EQ(PathOf(L"C:\\x.exe"), L"x.exe");
    EXPECT_EQ(PathOf(L"C:x.exe"), L"x.exe");
    EXPECT_EQ(PathOf(L"/etc/x"), L"etc\\x");
    EXPECT_EQ(PathOf(L"\\\\server\\share\\x"), L"server\\share\\x");
    EXPECT_EQ(PathOf(L"a/b/../c"), L"c");
    EXPECT_EQ(PathOf(L"a\\../b"), L"b");
    EXPECT_EQ(PathOf(L"a/..\\b"), L"b");
    EXPECT_EQ(PathOf(L"../../../x/../y"), L"y");
}

TEST(ZipEntryName, SkipsNamesThatStillClimbOut)
{
    EXPECT_EQ(PathOf(L"..\\x.exe"), L"<skipped>");
    EXPECT_EQ(PathOf(L"../x.exe"), L"<skipped>");
    EXPECT_EQ(PathOf(L"a/../../x.exe"), L"<skipped>");
    EXPECT_EQ(PathOf(L".."), L"<skipped>");
    EXPECT_EQ(PathOf(L"../"), L"<skipped>");
    EXPECT_EQ(PathOf(L"a/.."), L"<skipped>");
    EXPECT_EQ(PathOf(L"C:.."), L"<skipped>");
    EXPECT_EQ(PathOf(L"/../x"), L"<skipped>");
    EXPECT_EQ(PathOf(L"C:\\D:\\/..\\x"), L"<skipped>");
    // Windows trims trailing dots and spaces, so these could act as "..".
    EXPECT_EQ(PathOf(L"... /x"), L"<skipped>");
    EXPECT_EQ(PathOf(L".. \\x"), L"<skipped>");
    EXPECT_EQ(PathOf(L"a/.../x"), L"<skipped>");
}

TEST(PlainName, AFileNameIsOnePartWithoutSeparatorsStreamsOnlyDotsOrDevices)
{
    for (const wchar_t* name : {L"Software-1.0.0.20.zip", L"a", L"...x", L"console.txt", L"com10"})
        EXPECT_TRUE(IsPlainFileName(name)) << name;
    for (const wchar_t* name :
         {L"", L".", L"..", L". .", L"a\\b", L"a/b", L"C:x", L"x:s", L"nul.txt", L"COM1"})
        EXPECT_FALSE(IsPlainFileName(name)) << name;
}

TEST(ZipEntryName, SkipsEmptyNamesStreamsAndDevices)
{
    EXPECT_EQ(PathOf(L""), L"<skipped>");
    EXPECT_EQ(PathOf(L"/"), L"<skipped>");
    EXPECT_EQ(PathOf(L"./"), L"<skipped>");
    EXPECT_EQ(PathOf(L"C:"), L"<skipped>");
    EXPECT_EQ(PathOf(L"x.exe:stream"), L"<skipped>");
    EXPECT_EQ(PathOf(L"a/C:/x"), L"<skipped>");
    EXPECT_EQ(PathOf(L"nul"), L"<skipped>");
    EXPECT_EQ(PathOf(L"dir/Con.txt"), L"<skipped>");
    EXPECT_EQ(PathOf(L"com1/x"), L"<skipped>");
    EXPECT_EQ(PathOf(L"LPT9 .log"), L"<skipped>");
    EXPECT_EQ(PathOf(L"COM\u00B9"), L"<skipped>");
    EXPECT_EQ(PathOf(L"dir/com\u00B2.txt"), L"<skipped>");
    EXPECT_EQ(PathOf(L"LPT\u00B3 .log"), L"<skipped>");
    EXPECT_EQ(PathOf(L"COM\u2074"), L"COM\u2074");
    EXPECT_EQ(PathOf(L"console.txt"), L"console.txt");
    EXPECT_EQ(PathOf(L"com10.txt"), L"com10.txt");
    EXPECT_EQ(PathOf(L"nulbyte"), L"nulbyte");
}

TEST(ZipEntryAttributes, MsDosHostsUseTheAttributeByte)
{
    for (unsigned host : {0u, 7u, 11u, 14u})
    {
        const auto a = ZipEntryAttributes::Decode(host << 8 | 20, 0x01 | 0x02 | 0x04 | 0x20);
        EXPECT_TRUE(a.readOnly && a.hidden && a.system && a.archive) << host;
        EXPECT_FALSE(a.directory) << host;
        EXPECT_EQ(a.ToFileAttributes(), 0x27u);
    }
    const auto folder = ZipEntryAttributes::Decode(0x0014, 0x10);
    EXPECT_TRUE(folder.directory);
    EXPECT_FALSE(folder.readOnly || folder.hidden || folder.system || folder.archive);
    EXPECT_EQ(folder.ToFileAttributes(), 0x80u);
}

TEST(ZipEntryAttributes, OtherHostsUseTheUnixMode)
{
    // Unix host, mode 0100644: writable by its owner.
    const auto file = ZipEntryAttributes::Decode(3u << 8 | 30, 0100644u << 16);
    EXPECT_FALSE(file.readOnly || file.hidden || file.system || file.directory);
    EXPECT_TRUE(file.archive);
    EXPECT_EQ(file.ToFileAttributes(), 0x20u);
    // 0100444: read-only. The low DOS byte is ignored for such hosts.
    const auto readOnly = ZipEntryAttributes::Decode(3u << 8 | 30, 0100444u << 16 | 0x02);
    EXPECT_TRUE(readOnly.readOnly);
    EXPECT_FALSE(readOnly.hidden);
    EXPECT_EQ(readOnly.ToFileAttributes(), 0x21u);
    const auto folder = ZipEntryAttributes::Decode(19u << 8 | 30, 040755u << 16);
    EXPECT_TRUE(folder.directory);
}

TEST(ZipEntryTimes, ReadsTheExtendedTimestampFieldInFlagOrder)
{
    // Another record first, then "UT" with flags 7: modification, access, creation.
    const std::vector<unsigned char> extra = {0x0A, 0x00, 0x02, 0x00, 0xAA, 0xBB, 0x55, 0x54,
                                              13,   0x00, 0x07, 0x00, 0x00, 0x00, 0x00, 0x01,
                                              0x00, 0x00, 0x00, 0x80, 0x51, 0x01, 0x00};
    const auto times = ZipEntryTimes::FromExtraField(extra.data(), extra.size());
    ASSERT_TRUE(times.lastWrite && times.lastAccess && times.creation);
    EXPECT_EQ(*times.lastWrite, 116444736000000000ULL);
    EXPECT_EQ(*times.lastAccess, 116444736000000000ULL + 10000000ULL);
    EXPECT_EQ(*times.creation, 116444736000000000ULL + 86400ULL * 10000000ULL);
}

TEST(ZipEntryTimes, TakesOnlyTheTimesThatArePresent)
{
    // Central-directory style: all three flags set, only the modification time stored.
    const std::vector<unsigned char> central = {0x55, 0x54, 5, 0, 0x07, 0x10, 0x00, 0x00, 0x00};
    auto times = ZipEntryTimes::FromExtraField(central.data(), central.size());
    EXPECT_TRUE(times.lastWrite);
    EXPECT_FALSE(times.lastAccess || times.creation);
    // Access only (flag bit 1).
    const std::vector<unsigned char> access = {0x55, 0x54, 5, 0, 0x02, 0x10, 0x00, 0x00, 0x00};
    times = ZipEntryTimes::FromExtraField(access.data(), access.size());
    EXPECT_FALSE(times.lastWrite || times.creation);
    EXPECT_EQ(*times.lastAccess, ZipEntryTimes::UnixTimeToTicks(16));
    // A record claiming more bytes than the block holds is not read.
    const std::vector<unsigned char> overlong = {0x55, 0x54, 40, 0, 0x01, 0x10, 0x00, 0x00, 0x00};
    times = ZipEntryTimes::FromExtraField(overlong.data(), overlong.size());
    EXPECT_FALSE(times.lastWrite);
    EXPECT_FALSE(ZipEntryTimes::FromExtraField(nullptr, 0).lastWrite);
    // Times before 1970 are signed.
    EXPECT_EQ(ZipEntryTimes::UnixTimeToTicks(-1), 116444736000000000ULL - 10000000ULL);
}
