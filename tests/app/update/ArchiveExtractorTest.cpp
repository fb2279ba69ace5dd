#include "app/update/archive/ZipEntryTimes.h"
#include "tests/app/update/ExtractionSandbox.h"

#include <windows.h>

namespace
{
using ArchiveExtractorTest = ExtractionSandbox;

DWORD AttributesOf(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str());
}

std::uint64_t Ticks(const FILETIME& t)
{
    return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

struct Times
{
    std::uint64_t creation = 0, access = 0, write = 0;
};

Times TimesOf(const std::wstring& path)
{
    Times times;
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME c, a, w;
    if (file != INVALID_HANDLE_VALUE && GetFileTime(file, &c, &a, &w))
        times = {Ticks(c), Ticks(a), Ticks(w)};
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return times;
}

// Wine on a Linux file system cannot store a creation time; Windows can.
bool KeepsCreationTimes(const std::wstring& folder)
{
    const std::wstring probe = folder + L"probe.tmp";
    HANDLE file =
        CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    FILETIME early = {0x12345600, 0x01D00000};
    SetFileTime(file, &early, nullptr, nullptr);
    CloseHandle(file);
    const bool kept = TimesOf(probe).creation == Ticks(early);
    DeleteFileW(probe.c_str());
    return kept;
}

std::uint64_t DosTimeAsUtc(std::uint16_t date, std::uint16_t time)
{
    FILETIME local, utc;
    DosDateTimeToFileTime(date, time, &local);
    LocalFileTimeToFileTime(&local, &utc);
    return Ticks(utc);
}
} // namespace

TEST_F(ArchiveExtractorTest, TraversalNamesAreRewrittenToStayInsideTheFolder)
{
    TestZipWriter zip;
    zip.AddFile("..\\..\\Windows\\win.exe", "win");
    zip.AddFile("C:\\drive.exe", "drive");
    zip.AddFile("C:drive2.exe", "drive2");
    zip.AddFile("/abs/root.txt", "root");
    zip.AddFile("\\\\server\\share\\unc.txt", "unc");
    zip.AddFile("a/b/../c.txt", "c");
    zip.AddFile("sub\\dir/deep.txt", "deep");
    ASSERT_TRUE(Extract(zip));

    const Tree expected = {
        {L"Windows", "<dir>"},
        {L"Windows\\win.exe", "win"},
        {L"drive.exe", "drive"},
        {L"drive2.exe", "drive2"},
        {L"abs", "<dir>"},
        {L"abs\\root.txt", "root"},
        {L"server", "<dir>"},
        {L"server\\share", "<dir>"},
        {L"server\\share\\unc.txt", "unc"},
        {L"c.txt", "c"},
        {L"sub", "<dir>"},
        {L"sub\\dir", "<dir>"},
        {L"sub\\dir\\deep.txt", "deep"},
    };
    EXPECT_EQ(ReadTree(Base()), expected);
    EXPECT_EQ(ReadTree(Sandbox()).size(), expected.size() + 3);
    for (const wchar_t* path : {L"C:\\drive.exe", L"C:\\drive2.exe", L"C:\\Windows\\win.exe"})
        EXPECT_FALSE(PathExists(path));
}

// Once a name cannot be made safe, the archive is not to be trusted: nothing of it is kept.
TEST_F(ArchiveExtractorTest, NamesThatStillClimbOutOrNameDevicesFailTheWholeArchive)
{
    const std::string overlong(300, 'n');
    for (const char* name :
         {"..\\up1.exe", "../up2.exe", "a/../../up3.exe", "..", "D:../up5.exe", "/../up6.exe", "... /up7.exe",
          "sub/.. /up8.exe", "x.txt:stream", "COM\xB9.txt", "lpt\xB3", overlong.c_str()})
    {
        TestZipWriter zip;
        zip.AddFile("good.txt", "good");
        zip.AddFile(name, "bad");
        ExpectRefused(zip, name);
    }
    EXPECT_TRUE(ReadTree(Outside()).empty());
    EXPECT_FALSE(PathExists(L"C:\\up5.exe"));
}

TEST_F(ArchiveExtractorTest, FoldersAndAttributesFromBothKindsOfHost)
{
    TestZipWriter zip;
    auto dosFolder = MakeEntry("empty/", "");
    dosFolder.externalAttributes = 0x10;
    zip.Add(dosFolder);
    auto attributeFolder = MakeEntry("attrdir", "");
    attributeFolder.externalAttributes = 0x10;
    zip.Add(attributeFolder);
    auto unixFolder = MakeEntry("unixdir/", "");
    unixFolder.versionMadeBy = 3 << 8 | 30;
    unixFolder.externalAttributes = 040755u << 16;
    zip.Add(unixFolder);
    auto readOnly = MakeEntry("ro.txt", "read only");
    readOnly.externalAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE;
    zip.Add(readOnly);
    auto hidden = MakeEntry("hidden.txt", "hidden");
    hidden.versionMadeBy = 11 << 8 | 20;
    hidden.externalAttributes = FILE_ATTRIBUTE_HIDDEN;
    zip.Add(hidden);
    auto unixFile = MakeEntry("unix.sh", "#!/bin/sh\n");
    unixFile.versionMadeBy = 3 << 8 | 30;
    unixFile.externalAttributes = 0100755u << 16;
    zip.Add(unixFile);
    auto unixReadOnly = MakeEntry("unix-ro.txt", "unix read only");
    unixReadOnly.versionMadeBy = 3 << 8 | 30;
    unixReadOnly.externalAttributes = 0100444u << 16;
    zip.Add(unixReadOnly);
    zip.AddFile("nested/deeper/file.txt", "nested");
    ASSERT_TRUE(Extract(zip));

    const Tree expected = {
        {L"empty", "<dir>"},
        {L"attrdir", "<dir>"},
        {L"unixdir", "<dir>"},
        {L"ro.txt", "read only"},
        {L"hidden.txt", "hidden"},
        {L"unix.sh", "#!/bin/sh\n"},
        {L"unix-ro.txt", "unix read only"},
        {L"nested", "<dir>"},
        {L"nested\\deeper", "<dir>"},
        {L"nested\\deeper\\file.txt", "nested"},
    };
    EXPECT_EQ(ReadTree(Base()), expected);

    EXPECT_TRUE(AttributesOf(Base() + L"ro.txt") & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(AttributesOf(Base() + L"hidden.txt") & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(AttributesOf(Base() + L"hidden.txt") & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(AttributesOf(Base() + L"unix.sh") & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(AttributesOf(Base() + L"unix-ro.txt") & FILE_ATTRIBUTE_READONLY);
}

TEST_F(ArchiveExtractorTest, FileTimesComeFromTheDosTimeAndTheExtendedTimestamp)
{
    constexpr std::int32_t write = 1700000000, access = 1700000100, creation = 1600000000;
    TestZipWriter zip;
    zip.AddFile("dos.txt", "dos");
    auto full = MakeEntry("ut.txt", "ut");
    full.localExtra = TestZipWriter::ExtendedTimestamp(7, {write, access, creation});
    full.centralExtra = TestZipWriter::ExtendedTimestamp(7, {write});
    zip.Add(full);
    auto centralOnly = MakeEntry("ut-central.txt", "central");
    centralOnly.centralExtra = TestZipWriter::ExtendedTimestamp(1, {write});
    zip.Add(centralOnly);
    ASSERT_TRUE(Extract(zip));

    const std::uint64_t dos = DosTimeAsUtc(0x5A21, 0x6000);
    const Times dosTimes = TimesOf(Base() + L"dos.txt");
    EXPECT_EQ(dosTimes.write, dos);
    EXPECT_EQ(dosTimes.access, dos);
    EXPECT_EQ(dosTimes.creation, dos);

    const Times utTimes = TimesOf(Base() + L"ut.txt");
    EXPECT_EQ(utTimes.write, ZipEntryTimes::UnixTimeToTicks(write));
    EXPECT_EQ(utTimes.access, ZipEntryTimes::UnixTimeToTicks(access));
    if (KeepsCreationTimes(Sandbox()))
    {
        EXPECT_EQ(utTimes.creation, ZipEntryTimes::UnixTimeToTicks(creation));
    }

    const Times centralTimes = TimesOf(Base() + L"ut-central.txt");
    EXPECT_EQ(centralTimes.write, ZipEntryTimes::UnixTimeToTicks(write));
    EXPECT_EQ(centralTimes.access, dos);
}

TEST_F(ArchiveExtractorTest, LargeDeflatedAndStoredEntriesComeOutWhole)
{
    std::string large;
    for (int i = 0; large.size() < 200000; ++i)
        large += "line " + std::to_string(i * 7919 % 10007) + "\n";
    TestZipWriter zip;
    zip.AddFile("large.txt", large);
    zip.Add(MakeEntry("stored.txt", "stored as is", false));
    ASSERT_TRUE(Extract(zip));

    Tree tree = ReadTree(Base());
    EXPECT_TRUE(tree[L"large.txt"] == large) << "large.txt differs";
    tree[L"large.txt"] = "<large>";
    const Tree expected = {{L"large.txt", "<large>"}, {L"stored.txt", "stored as is"}};
    EXPECT_EQ(tree, expected);
}

// Formerly a damaged entry was skipped and the rest kept; now one damaged entry fails the whole archive.
// Formerly a damaged entry was skipped and the rest kept; now one damaged entry fails the whole archive.
TEST_F(ArchiveExtractorTest, ADamagedEntryFailsTheWholeArchiveAndNothingIsKept)
{
    const std::string large(200000, 'l');
    auto corrupt = MakeEntry("corrupt.exe", large);
    corrupt.corruptData = true;
    auto badCrc = MakeEntry("badcrc.exe", large);
    badCrc.wrongCrc = true;
    auto storedBadCrc = MakeEntry("stored-badcrc.txt", "stored", false);
    storedBadCrc.wrongCrc = true;
    auto encrypted = MakeEntry("encrypted.txt", "secret");
    encrypted.flags = 1;
    auto bzip2 = MakeEntry("bzip2.exe", "BZh91AY&SY raw bytes the reader would copy", false);
    bzip2.method = 12;
    for (const auto& damaged : {corrupt, badCrc, storedBadCrc, encrypted, bzip2})
    {
        TestZipWriter zip;
        zip.AddFile("nested/before.txt", "before");
        zip.Add(damaged);
        zip.AddFile("after.txt", "after");
        ExpectRefused(zip, damaged.name);
    }
}

TEST_F(ArchiveExtractorTest, ArchivesThatCannotBeOpenedReportFailure)
{
    EXPECT_FALSE(ExtractArchive(INVALID_HANDLE_VALUE, Base()));
    EXPECT_FALSE(ExtractArchive(nullptr, Base()));
    TestZipWriter zip;
    zip.AddFile("a.txt", "a");
    const std::string bytes = zip.Build();
    EXPECT_FALSE(ExtractBytes("Not Found", Base()));
    EXPECT_FALSE(ExtractBytes(bytes.substr(0, bytes.size() / 2), Base()));
    EXPECT_TRUE(ReadTree(Base()).empty());
}

// The folder is made by the caller (the staging folder): one without a trailing separator will do, a
// missing one is not created on the way.
TEST_F(ArchiveExtractorTest, FolderWithoutTrailingSeparatorAndNamesInUtf8)
{
    TestZipWriter zip;
    auto utf8 = MakeEntry("gr\xC3\xBC\xC3\x9F.txt", "utf8");
    utf8.flags = 0x800;
    zip.Add(utf8);
    std::wstring folder = Base();
    folder.pop_back();
    EXPECT_FALSE(ExtractBytes(zip.Build(), folder + L"\\new"));
    ASSERT_TRUE(ExtractBytes(zip.Build(), folder));
    EXPECT_EQ(ReadTree(Base()), (Tree{{L"gr\u00fc\u00df.txt", "utf8"}}));
}
