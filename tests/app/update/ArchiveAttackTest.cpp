#include "tests/app/update/ExtractionSandbox.h"

#include <windows.h>

#include <zlib.h>

namespace
{
using ArchiveAttackTest = ExtractionSandbox;

TestZipWriter EvilArchive()
{
    TestZipWriter zip;
    zip.AddFile("first.txt", "first");
    zip.AddFile("sub/evil.dll", "evil");
    zip.AddFile("planted.exe", "evil");
    return zip;
}

// One entry of a GiB of zeros, about a MiB deflated; built once.
const std::string& GibOfZeros(std::uint32_t& crc)
{
    static std::uint32_t zerosCrc = 0;
    static const std::string zeros = TestZipWriter::DeflatedZeros(1ull << 30, zerosCrc);
    crc = zerosCrc;
    return zeros;
}
} // namespace

// Whatever sits in the folder under an entry's name (file, file link, hard link, folder link) is never
// written through: the archive fails, the targets keep their bytes, and nothing of the archive is kept.
TEST_F(ArchiveAttackTest, PlantedNamesAndLinksAreNeverWrittenThrough)
{
    ASSERT_TRUE(WriteFileBytes(Outside() + L"target.exe", "system file"));
    const Tree outside = {{L"outside\\target.exe", "system file"}};

    {
        ASSERT_TRUE(WriteFileBytes(Base() + L"planted.exe", "old"));
        SetFileAttributesW((Base() + L"planted.exe").c_str(), FILE_ATTRIBUTE_READONLY);
        EXPECT_FALSE(Extract(EvilArchive()));
        EXPECT_EQ(ReadTree(Base()), (Tree{{L"planted.exe", "old"}}));
        RemoveTree(Base());
        CreateDirectoryW(Base().c_str(), nullptr);
    }
    {
        ASSERT_TRUE(
            CreateHardLinkW((Base() + L"planted.exe").c_str(), (Outside() + L"target.exe").c_str(), nullptr));
        EXPECT_FALSE(Extract(EvilArchive()));
        EXPECT_EQ(ReadTree(Base()), (Tree{{L"planted.exe", "system file"}}));
        DeleteFileW((Base() + L"planted.exe").c_str());
    }
    {
        TestLink link(Outside() + L"target.exe", Base() + L"planted.exe", false);
        ASSERT_TRUE(link.Made());
        EXPECT_FALSE(Extract(EvilArchive()));
        EXPECT_EQ(ReadTree(Base()), (Tree{{L"planted.exe", "system file"}}));
    }
    {
        TestLink link(Outside(), Base() + L"sub", true);
        ASSERT_TRUE(link.Made());
        EXPECT_FALSE(Extract(EvilArchive()));
        EXPECT_EQ(ReadTree(Base()), (Tree{{L"sub", "<dir>"}, {L"sub\\target.exe", "system file"}}));
    }
    EXPECT_EQ(ReadTree(Base()), Tree{});
    ExpectNothingOutsideBase(outside);
}

// The extraction folder itself, or a folder above it, replaced by a link: nothing is written at all.
TEST_F(ArchiveAttackTest, AFolderReachedThroughALinkIsRefused)
{
    TestLink link(Outside(), Base() + L"linked", true);
    ASSERT_TRUE(link.Made());
    TestZipWriter zip;
    zip.AddFile("Software-1.0.0.20.exe", "installer");
    EXPECT_FALSE(ExtractInto(zip, Base() + L"linked"));
    EXPECT_TRUE(ReadTree(Outside()).empty());
}

TEST_F(ArchiveAttackTest, BombsAreRefusedAndNeverWrittenBeyondTheirDeclaredSize)
{
    std::uint32_t crc = 0;
    const std::string& zeros = GibOfZeros(crc);
    auto honest = MakeEntry("bomb.bin", "");
    honest.compressed = zeros;
    honest.compressedCrc = crc;
    honest.declaredSize = 1u << 30;
    // Declares a MiB but inflates to a GiB: reading stops at the MiB, and the CRC of the whole fails it.
    auto understated = honest;
    understated.declaredSize = 1u << 20;
    for (const auto& bomb : {honest, understated})
    {
        TestZipWriter zip;
        zip.AddFile("first.txt", "first");
        zip.Add(bomb);
        EXPECT_FALSE(Extract(zip)) << *bomb.declaredSize;
        EXPECT_TRUE(ReadTree(Base()).empty());
    }
}

TEST_F(ArchiveAttackTest, CountTotalAndEntrySizeLimitsHoldForTheWholeArchive)
{
    const ExtractionLimits limits{3, 100, 60};
    TestZipWriter within;
    within.AddFile("a.txt", std::string(60, 'a'));
    within.AddFile("b.txt", std::string(40, 'b'));
    EXPECT_TRUE(Extract(within, limits));
    RemoveTree(Base());
    CreateDirectoryW(Base().c_str(), nullptr);

    TestZipWriter tooMany;
    for (const char* name : {"1", "2", "3", "4"})
        tooMany.AddFile(name, "x");
    TestZipWriter tooLarge;
    tooLarge.AddFile("a.txt", std::string(61, 'a'));
    TestZipWriter tooMuch;
    tooMuch.AddFile("a.txt", std::string(60, 'a'));
    tooMuch.AddFile("b.txt", std::string(41, 'b'));
    for (const TestZipWriter* zip : {&tooMany, &tooLarge, &tooMuch})
    {
        EXPECT_FALSE(Extract(*zip, limits));
        EXPECT_TRUE(ReadTree(Base()).empty());
    }
}

// Two central entries naming one local header, and data declared to run into the next entry.
TEST_F(ArchiveAttackTest, EntriesThatShareBytesFailTheArchive)
{
    TestZipWriter shared;
    shared.AddFile("a.exe", "payload");
    auto twin = MakeEntry("b.exe", "payload");
    twin.sharesLocalHeaderOf = 0;
    shared.Add(twin);

    TestZipWriter runOn;
    auto first = MakeEntry("a.txt", "0123456789");
    first.deflate = false;
    runOn.Add(first);
    auto second = MakeEntry("b.txt", "abcdefghij");
    second.deflate = false;
    runOn.Add(second);
    std::string bytes = runOn.Build();
    // Stored entry a.txt claims 60 bytes (both sizes, local and central), reaching into b.txt.
    for (std::size_t at : {std::size_t(18), std::size_t(22)})
        bytes[at] = 60;
    const std::size_t central = bytes.find("PK\x01\x02");
    bytes[central + 20] = 60;
    bytes[central + 24] = 60;

    EXPECT_FALSE(Extract(shared));
    EXPECT_TRUE(ReadTree(Base()).empty());
    EXPECT_FALSE(ExtractBytes(bytes, Base()));
    EXPECT_TRUE(ReadTree(Base()).empty());
}

// The reader skips its own CRC check when the data ends before the declared size, and stops quietly at
// the declared size when there is more: both must fail here.
TEST_F(ArchiveAttackTest, SizesThatLieFailTheArchive)
{
    auto overstated = MakeEntry("over.exe", std::string(5000, 'o'));
    overstated.declaredSize = 6000;
    auto understated = MakeEntry("under.exe", std::string(5000, 'u'));
    understated.declaredSize = 4000;
    auto storedOver = MakeEntry("stored-over.exe", std::string(500, 's'));
    storedOver.deflate = false;
    storedOver.declaredSize = 600;
    for (const auto& liar : {overstated, understated, storedOver})
    {
        TestZipWriter zip;
        zip.AddFile("first.txt", "first");
        zip.Add(liar);
        EXPECT_FALSE(Extract(zip)) << liar.name;
        EXPECT_TRUE(ReadTree(Base()).empty()) << liar.name;
    }
}

// The bomb's stream is built in pieces; it must still be exactly a GiB of zeros.
TEST(TestZipWriterZeros, DeflatedZerosInflateToExactlyTheSizeAndCrc)
{
    for (const std::uint64_t size : {std::uint64_t(0), std::uint64_t(1000), std::uint64_t(3u << 20) + 7})
    {
        std::uint32_t crc = 0;
        std::string deflated = TestZipWriter::DeflatedZeros(size, crc);
        std::string inflated(size + 16, 'x');
        z_stream s = {};
        inflateInit2(&s, -15);
        s.next_in = reinterpret_cast<Bytef*>(deflated.data());
        s.avail_in = static_cast<uInt>(deflated.size());
        s.next_out = reinterpret_cast<Bytef*>(inflated.data());
        s.avail_out = static_cast<uInt>(inflated.size());
        EXPECT_EQ(inflate(&s, Z_FINISH), Z_STREAM_END) << size;
        EXPECT_EQ(s.total_out, size);
        inflateEnd(&s);
        inflated.resize(size);
        EXPECT_EQ(inflated, std::string(size, '\0'));
        EXPECT_EQ(crc, crc32(0, reinterpret_cast<const Bytef*>(inflated.data()), static_cast<uInt>(size)));
    }
}
