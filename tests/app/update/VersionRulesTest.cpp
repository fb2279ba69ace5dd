#include "app/update/VersionText.h"

#include <gtest/gtest.h>

#include <tuple>

namespace
{
std::wstring Show(const std::optional<VersionNumber>& version)
{
    if (!version)
        return L"refused";
    std::wstring text;
    for (const auto part : version->parts)
        text += (text.empty() ? L"" : L".") + std::to_wstring(part);
    return text;
}
} // namespace

TEST(VersionText, TextsAreReadAsAVersionResourceHoldsThem)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
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
        {L"1.", L"refused"},
        {L" 1.0.0.20", L"refused"},
        {L"1.0.0.20\n", L"refused"}, // the caller trims the line break first
        {L"", L"refused"},
        {L"+1.0", L"refused"},
        {L"1a0", L"refused"},
        {L"\x0661.0", L"refused"}, // an Arabic-Indic one
    };
    for (const auto& c : cases)
        EXPECT_EQ(Show(ParseVersion(c.first)), c.second) << c.first;
}

TEST(VersionText, OnlyAStrictlyNewerVersionIsOffered)
{
    const std::tuple<const wchar_t*, const wchar_t*, bool> cases[] = {
        {L"1.0.0.19", L"1.0.0.20", true},
        {L"1.0.0.19", L"1.0.0.19", false}, // equal
        {L"1.0.0.19", L"1.0.0.9", false},  // numbers, not texts
        {L"1.0.0.19", L"1.0", false},      // 1.0.0.0: the downgrade once taken for an update
        {L"1.0.0.19", L"1.0.1", true},     // 1.0.1.0
        {L"1.0", L"1.0.0.0", false},       // equal when the missing parts are 0
        {L"1.0", L"1.0.0.1", true},
        {L"1.2.0.19", L"1.1.9.99", false},
        {L"1.0.0.65535", L"1.0.1.0", true},
        {L"1.0.0.19", L"1.0.0.19.1", false}, // refused texts are never newer
        {L"1.0.0.19", L"1.0.0.65536", false},
        {L"1.0.0.19", L"01.0.0.20", false},
        {L"1.0.0.19", L"1..0.20", false},
        {L"1.0.0.19", L" 1.0.0.20", false},
        {L"1.0.0.19", L"", false},
        {L"", L"1.0.0.20", false},
    };
    for (const auto& [installed, offered, newer] : cases)
        EXPECT_EQ(IsNewerVersion(installed, offered), newer) << installed << L" / " << offered;
}

TEST(VersionText, LineBreaksAreRemovedBeforeTheRule)
{
    for (const wchar_t* served : {L"1.0.0.20\n", L"1.0.0.20\r\n", L"1.0.0.20\r\n\r\n", L"1.0.0.20"})
        EXPECT_EQ(TrimLineBreaks(served), L"1.0.0.20");
    EXPECT_EQ(TrimLineBreaks(L"\n"), L"");
    EXPECT_EQ(TrimLineBreaks(L"1.0\n.0"), L"1.0\n.0");
}

TEST(FirmwareVersion, DisplayVersionIsReadAsDecimalDigitsOfItsHexText)
{
    EXPECT_EQ(FirmwareVersionText(0x0103), L"103");
    EXPECT_EQ(FirmwareVersionText(0x01A0), L"1a0");
    EXPECT_EQ(FirmwareVersionText(0), L"0");
    const std::tuple<int, const wchar_t*, bool> cases[] = {
        {0x0103, L"104", true},   {0x0103, L"103", false},      {0x0103, L"102", false},
        {0x0103, L"0104", false}, {0x0103, L"65536", false},    // refused by the rule
        {0x9999, L"10000", true}, {0x0103, L"103.0.0.1", true}, // the largest a display states
        {0x01A0, L"2", false},                                  // "1a0" states no version
        {0xFD00, L"1", false}, // "fd00": a display that did not answer its request
        {-1, L"999", false},   // no display
    };
    for (const auto& [display, latest, available] : cases)
        EXPECT_EQ(IsFirmwareUpdateAvailable(display, latest), available) << display << L" " << latest;
}
