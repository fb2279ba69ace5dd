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
} // namespace

// Whatever sits under an entry's name (file, hard link, file link, folder link) is never written through.
TEST_F(ArchiveAttackTest, PlantedNamesAndLinksAreNeverWrittenThrough)
{
    const std::wstring target = Outside() + L"target.exe";
    const std::wstring planted = Base() + L"planted.exe";
    ASSERT_TRUE(WriteFileBytes(target, "system file"));
    ASSERT_TRUE(WriteFileBytes(planted, "old"));
    SetFileAttributesW(planted.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(Extract(EvilArchive()));
    EXPECT_EQ(ReadTree(Base()), (Tree{{L"planted.exe", "old"}}));
    SetFileAttributesW(planted.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(planted.c_str());

    ASSERT_TRUE(CreateHardLinkW(planted.c_str(), target.c_str(), nullptr));
    EXPECT_FALSE(Extract(EvilArchive()));
    EXPECT_EQ(ReadTree(Base()), (Tree{{L"planted.exe", "system file"}}));
    DeleteFileW(planted.c_str());
    {
        TestLink link(target, planted, false);
        ASSERT_TRUE(link.Made());
        EXPECT_FALSE(Extract(EvilArchive()));
        EXPECT_EQ(ReadTree(Base()), (Tree{{L"planted.exe", "system file"}}));
    }
    {
        TestLink link(Outside(), Base() + L"sub", true);
        ASSERT_TRUE(link.Made());
        EXPECT_FALSE(Extract(EvilArchive()));
        EXPECT_EQ(ReadTree(Outside()), (Tree{{L"target.exe", "system file"}}));
        // The extraction folder itself reached through a link.
        EXPECT_FALSE(ExtractBytes(EvilArchive().Build(), Base() + L"sub"));
    }
    EXPECT_EQ(ReadTree(Base()), Tree{});
    EXPECT_EQ(ReadTree(Outside()), (Tree{{L"target.exe", "system file"}}));
}

TEST_F(ArchiveAttackTest, BombsOverlapsLyingSizesAndLimitsFailTheWholeArchive)
{
    auto bomb = MakeEntry("bomb.bin", "");
    bomb.compressed = TestZipWriter::DeflatedZeros(1ull << 30, bomb.compressedCrc);
    bomb.declaredSize = 1u << 30;
    // Declares a MiB but inflates to a GiB: reading stops at the MiB, and the CRC of the whole fails it.
    auto understatedBomb = bomb;
    understatedBomb.declaredSize = 1u << 20;
    // The reader skips its own CRC check when data ends before the declared size.
    auto overstated = MakeEntry("over.exe", std::string(5000, 'o'));
    overstated.declaredSize = 6000;
    auto understated = MakeEntry("under.exe", std::string(5000, 'u'));
    understated.declaredSize = 4000;
    auto storedOverstated = MakeEntry("stored-over.exe", std::string(500, 's'), false);
    storedOverstated.declaredSize = 600;
    // A second central entry naming the first one's local header.
    auto twin = MakeEntry("twin.exe", std::string(5000, 'o'));
    twin.sharesLocalHeaderOf = 1;
    for (const auto& bad : {bomb, understatedBomb, overstated, understated, storedOverstated, twin})
    {
        TestZipWriter zip;
        zip.AddFile("first.txt", "first");
        zip.AddFile("good.exe", std::string(5000, 'o'));
        zip.Add(bad);
        ExpectRefused(zip, bad.name + " " + std::to_string(bad.declaredSize.value_or(0)));
    }

    const ExtractionLimits limits{3, 100, 60};
    TestZipWriter tooMany, tooLarge, tooMuch, within;
    for (const char* name : {"1", "2", "3", "4"})
        tooMany.AddFile(name, "x");
    tooLarge.AddFile("a.txt", std::string(61, 'a'));
    for (auto* zip : {&tooMuch, &within})
        zip->AddFile("a.txt", std::string(60, 'a'));
    tooMuch.AddFile("b.txt", std::string(41, 'b'));
    within.AddFile("b.txt", std::string(40, 'b'));
    ExpectRefused(tooMany, "entries", limits);
    ExpectRefused(tooLarge, "entry size", limits);
    ExpectRefused(tooMuch, "total size", limits);
    EXPECT_TRUE(Extract(within, limits));
}

// The bomb's stream is built in pieces; it must still inflate to exactly its zeros and CRC.
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
        inflateEnd(&s);
        inflated.resize(s.total_out);
        EXPECT_EQ(inflated, std::string(size, '\0'));
        EXPECT_EQ(crc, crc32(0, reinterpret_cast<const Bytef*>(inflated.data()), static_cast<uInt>(size)));
    }
}
