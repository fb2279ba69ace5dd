#include "linux/devices/FeatureReportLength.h"

#include <gtest/gtest.h>

namespace
{
// The display's vendor collection: report 0x07 with 63 data bytes.
const std::vector<std::uint8_t> kDisplay = {0x06, 0x01, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x07,
                                            0x75, 0x08, 0x95, 0x3F, 0x09, 0x01, 0xB1, 0x02, 0xC0};
} // namespace

TEST(FeatureReportLength, CountsTheBitsOfOneReportIdOnly)
{
    EXPECT_EQ(DeclaredFeatureLength(kDisplay, 0x07), 64u);
    EXPECT_EQ(DeclaredFeatureLength(kDisplay, 0x08), 0u) << "not declared";

    std::vector<std::uint8_t> more = kDisplay;
    more.pop_back();
    // Report 0x08 (10 bytes) inside Push/Pop, then 12 more bits for 0x07 after the Pop.
    more.insert(more.end(), {0xA4, 0x85, 0x08, 0x95, 0x0A, 0xB1, 0x02, 0xB4, 0x75, 0x04, 0x95, 0x03, 0xB1,
                             0x02, 0x81, 0x02, 0xC0});
    EXPECT_EQ(DeclaredFeatureLength(more, 0x08), 11u);
    EXPECT_EQ(DeclaredFeatureLength(more, 0x07), 66u)
        << "63 bytes + 12 bits round up; input items do not count";
}

TEST(FeatureReportLength, BrokenDescriptorsDoNotReadPastTheEnd)
{
    EXPECT_EQ(DeclaredFeatureLength({}, 0x07), 0u);
    const std::vector<std::uint8_t> cut(kDisplay.begin(), kDisplay.begin() + 12); // count item cut short
    EXPECT_EQ(DeclaredFeatureLength(cut, 0x07), 0u);
    EXPECT_EQ(DeclaredFeatureLength({0xFE, 0x40}, 0x07), 0u) << "long item longer than the descriptor";
    EXPECT_EQ(DeclaredFeatureLength({0xB4, 0xB4, 0x85, 0x07, 0xB1, 0x02}, 0x07), 1u) << "pop without push";
}

TEST(FeatureReportLength, FitCutsOrPadsOnlyWhenTheLengthIsKnown)
{
    const std::uint8_t report[] = {0x07, 0xFF, 0xFF, 0, 4, 5};
    std::vector<std::uint8_t> fitted;
    FitToLength(report, sizeof report, 0, fitted);
    EXPECT_EQ(fitted.size(), 6u);
    FitToLength(report, sizeof report, 4, fitted);
    EXPECT_EQ(fitted, (std::vector<std::uint8_t>{0x07, 0xFF, 0xFF, 0}));
    FitToLength(report, sizeof report, 8, fitted);
    EXPECT_EQ(fitted, (std::vector<std::uint8_t>{0x07, 0xFF, 0xFF, 0, 4, 5, 0, 0}));
}
