#include "app/update/VersionText.h"

#include <gtest/gtest.h>

namespace
{
std::wstring Show(const std::optional<VersionNumber>& version)
{
    if (!version)
        return L"refused";
    const auto& p = version->parts;
    return std::to_wstring(p[0]) + L"." + std::to_wstring(p[1]) + L"." + std::to_wstring(p[2]) + L"." +
           std::to_wstring(p[3]);
}
} // namespace

TEST(VersionText, TextsAreReadAsAVersionResourceHoldsThem)
{
    const struct
    {
        const wchar_t* text;
        const wchar_t* read;
    } cases[] = {
        {L"1.0", L"1.0.0.0"},
        {L"1.0.0.19", L"1.0.0.19"},
        {L"104", L"104.0.0.0"},
        {L"0", L"0.0.0.0"},
        {L"65535.65535.65535.65535", L"65535.65535.65535.65535"},
        {L"1.0.0.19.1", L"refused"},  // a fifth part
        {L"1.0.0.65536", L"refused"}, // above 16 bits
        {L"1.0.0.99999999999999999999", L"refused"},
        {L"01.0.0.20", L"refused"}, // a leading zero: one text per version
        {L"1.0.0.00", L"refused"},
        {L"1..0.20", L"refused"}, // an empty part
        {L".1", L"refused"},
        {L"1.", L"refused"},
        {L" 1.0.0.20", L"refused"},
        {L"1.0.0.20 ", L"refused"},
        {L"1.0.0.20\n", L"refused"}, // the caller trims the line break first
        {L"", L"refused"},
        {L"+1.0", L"refused"},
        {L"1.0.0.x", L"refused"},
        {L"1a0", L"refused"},
        {L"..\\..\\x", L"refused"},
        {L"\x0661.0", L"refused"}, // an Arabic-Indic one
    };
    for (const auto& c : cases)
        EXPECT_EQ(Show(ParseVersion(c.text)), c.read) << c.text;
}

TEST(VersionText, OnlyAStrictlyNewerVersionIsOffered)
{
    const struct
    {
        const wchar_t* installed;
        const wchar_t* offered;
        bool newer;
    } cases[] = {
        {L"1.0.0.19", L"1.0.0.20", true},
        {L"1.0.0.19", L"1.0.0.19", false}, // equal
        {L"1.0.0.19", L"1.0.0.18", false},
        {L"1.0.0.19", L"1.0.0.9", false}, // numbers, not texts
        {L"1.0.0.19", L"1.0", false},     // 1.0.0.0: the downgrade once taken for an update
        {L"1.0.0.19", L"1.0.1", true},    // 1.0.1.0
        {L"1.0.0.19", L"2", true},
        {L"1.0", L"1.0.0.0", false}, // equal when the missing parts are 0
        {L"1.0", L"1.0.0.1", true},
        {L"1.2.0.19", L"1.1.9.99", false},
        {L"1.0.0.19", L"1.0.0.19.1", false}, // refused texts are never newer
        {L"1.0.0.19", L"1.0.0.65536", false},
        {L"1.0.0.19", L"01.0.0.20", false},
        {L"1.0.0.19", L"1..0.20", false},
        {L"1.0.0.19", L" 1.0.0.20", false},
        {L"1.0.0.19", L"", false},
        {L"", L"1.0.0.20", false},
        {L"1.0.0.65535", L"1.0.1.0", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsNewerVersion(c.installed, c.offered), c.newer) << c.installed << L" / " << c.offered;
}

TEST(VersionText, LineBreaksAreRemovedBeforeTheRule)
{
    EXPECT_EQ(TrimLineBreaks(L"1.0.0.20\n"), L"1.0.0.20");
    EXPECT_EQ(TrimLineBreaks(L"1.0.0.20\r\n"), L"1.0.0.20");
    EXPECT_EQ(TrimLineBreaks(L"1.0.0.20\r\n\r\n"), L"1.0.0.20");
    EXPECT_EQ(TrimLineBreaks(L"1.0.0.20"), L"1.0.0.20");
    EXPECT_EQ(TrimLineBreaks(L"\n"), L"");
    EXPECT_EQ(TrimLineBreaks(L"1.0\n.0"), L"1.0\n.0");
}

TEST(FirmwareVersion, DisplayVersionIsReadAsDecimalDigitsOfItsHexText)
{
    EXPECT_EQ(FirmwareVersionText(0x0103), L"103");
    EXPECT_EQ(FirmwareVersionText(0x01A0), L"1a0");
    EXPECT_EQ(FirmwareVersionText(0), L"0");
    EXPECT_EQ(FirmwareVersionText(0xFD00), L"fd00");

    const struct
    {
        int display;
        const wchar_t* latest;
        bool available;
    } cases[] = {
        {0x0103, L"104", true},       {0x0103, L"103", false},  {0x0103, L"102", false},
        {0x0103, L"103.0.0.1", true}, {0x0103, L"0104", false}, // refused by the rule
        {0x0103, L"65536", false},                              // likewise
        {0x9999, L"10000", true},                               // the largest version a display states
        {0x01A0, L"2", false},                                  // "1a0" states no version
        {0xFD00, L"1", false}, // a display that did not answer its request reads as "fd00"
        {-1, L"999", false},   // no display
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsFirmwareUpdateAvailable(c.display, c.latest), c.available)
            << c.display << L" " << c.latest;
}
