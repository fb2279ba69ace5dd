#include "app/update/VersionText.h"

#include <gtest/gtest.h>

TEST(CompareVersions, AgainstTheProgramsOwnVersion)
{
    EXPECT_EQ(CompareVersions(L"1.0.0.19", L"1.0.0.20"), 1);
    EXPECT_EQ(CompareVersions(L"1.0.0.19", L"1.0.0.19"), 0);
    EXPECT_EQ(CompareVersions(L"1.0.0.19", L"1.0.0.9"), -1);
    // A different number of parts counts as an update.
    EXPECT_EQ(CompareVersions(L"1.0.0.19", L"1.0.1"), 2);
}

TEST(CompareVersions, ComparesPartsAsNumbersInOrder)
{
    EXPECT_EQ(CompareVersions(L"1.0.0.19", L"2.0.0.0"), 1);
    EXPECT_EQ(CompareVersions(L"1.2.0.19", L"1.1.9.99"), -1);
    EXPECT_EQ(CompareVersions(L"1..2", L"1.0.2"), 0);
    EXPECT_EQ(CompareVersions(L"1..2", L"1.2"), 2);
    EXPECT_EQ(CompareVersions(L"1.0.0.19", L" 1.0.0.+20"), 1);
    EXPECT_EQ(CompareVersions(L"1.0.0.19", L"1.0.0.19abc"), 0);
    EXPECT_EQ(CompareVersions(L"1.0.0.19", L"1.0.0.x"), -1);
}

TEST(ReadDecimal, ReadsLikeTheCRuntime)
{
    EXPECT_EQ(ReadDecimal(L"  42x"), 42);
    EXPECT_EQ(ReadDecimal(L"-7"), -7);
    EXPECT_EQ(ReadDecimal(L"+7"), 7);
    EXPECT_EQ(ReadDecimal(L"abc"), 0);
    EXPECT_EQ(ReadDecimal(L""), 0);
    EXPECT_EQ(ReadDecimal(L"1a0"), 1);
    EXPECT_GT(ReadDecimal(L"99999999999999999999999999"), 0);
}

TEST(VersionText, LineBreaksAreRemovedBeforeTheLengthRule)
{
    EXPECT_EQ(TrimLineBreaks(L"1.0.0.20\n"), L"1.0.0.20");
    EXPECT_EQ(TrimLineBreaks(L"1.0.0.20\r\n"), L"1.0.0.20");
    EXPECT_EQ(TrimLineBreaks(L"1.0.0.20\r\n\r\n"), L"1.0.0.20");
    EXPECT_EQ(TrimLineBreaks(L"1.0.0.20"), L"1.0.0.20");
    EXPECT_EQ(TrimLineBreaks(L"\n"), L"");
    EXPECT_TRUE(IsUsableVersionText(TrimLineBreaks(L"1.0.0.200\r\n")));
}

TEST(VersionText, OnlyShortPlainTextsNameFiles)
{
    EXPECT_TRUE(IsUsableVersionText(L"1.0.0.20"));
    EXPECT_TRUE(IsUsableVersionText(L"1234567890"));
    EXPECT_TRUE(IsUsableVersionText(L"104"));
    EXPECT_FALSE(IsUsableVersionText(L""));
    EXPECT_FALSE(IsUsableVersionText(L"1.0.0.20.11"));
    EXPECT_FALSE(IsUsableVersionText(L"1.0.0.20\n"));
    EXPECT_FALSE(IsUsableVersionText(L"..\\..\\x"));
    EXPECT_FALSE(IsUsableVersionText(L"a/b"));
    EXPECT_FALSE(IsUsableVersionText(L"C:x"));
    EXPECT_FALSE(IsUsableVersionText(L"1 0"));
}

TEST(FirmwareVersion, DisplayVersionIsReadAsDecimalDigitsOfItsHexText)
{
    EXPECT_EQ(FirmwareVersionText(0x0103), L"103");
    EXPECT_EQ(FirmwareVersionText(0x01A0), L"1a0");
    EXPECT_EQ(FirmwareVersionText(0), L"0");
    EXPECT_EQ(FirmwareVersionText(0xFD00), L"fd00");

    EXPECT_TRUE(IsFirmwareUpdateAvailable(0x0103, L"104"));
    EXPECT_FALSE(IsFirmwareUpdateAvailable(0x0103, L"103"));
    EXPECT_FALSE(IsFirmwareUpdateAvailable(0x0103, L"102"));
    // "1a0" reads as 1.
    EXPECT_TRUE(IsFirmwareUpdateAvailable(0x01A0, L"2"));
    EXPECT_FALSE(IsFirmwareUpdateAvailable(0x01A0, L"1"));
    // A display that did not answer its version request reads as "fd00", that is 0.
    EXPECT_TRUE(IsFirmwareUpdateAvailable(0xFD00, L"1"));
    // No display: never an update.
    EXPECT_FALSE(IsFirmwareUpdateAvailable(-1, L"999"));
}
