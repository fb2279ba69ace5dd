#include "tests/app/device/SimulatedDisplays.h"

#include <gtest/gtest.h>

namespace
{
using FirmwareVersion = SimulatedDisplays;
} // namespace

TEST_F(FirmwareVersion, AsksOnlyTheFirstDisplay)
{
    Configure("displays=2; display.0.version=0x0103; display.1.version=0x0299");
    Scan();
    displaysim_clear_records();
    int version = 0;
    ASSERT_TRUE(m_devices.ReadFirmwareVersion(version));
    EXPECT_EQ(version, 0x0103);

    const auto sets = DisplaySimRecords(DISPLAYSIM_SET);
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].display, 0);
    EXPECT_EQ(sets[0].requested, 64);
    EXPECT_EQ(sets[0].result, 64);
    EXPECT_EQ(sets[0].delivered, 64);
    EXPECT_EQ(sets[0].data[0], 0x07);
    EXPECT_EQ(sets[0].data[1], 0xFD);
    const auto gets = DisplaySimRecords(DISPLAYSIM_GET);
    ASSERT_EQ(gets.size(), 1u) << "a valid first reply needs no second read";
    EXPECT_EQ(gets[0].display, 0);
    EXPECT_EQ(gets[0].requested, 64);
}

TEST_F(FirmwareVersion, ReplyWithoutReportIdIsReadOnceMore)
{
    Configure("displays=1; version=0x0107; fail=late_reply");
    Scan();
    displaysim_clear_records();
    int version = 0;
    ASSERT_TRUE(m_devices.ReadFirmwareVersion(version));
    EXPECT_EQ(version, 0x0107);
    const auto gets = DisplaySimRecords(DISPLAYSIM_GET);
    ASSERT_EQ(gets.size(), 2u);
    EXPECT_EQ(gets[0].data[0], 0x00);
    EXPECT_EQ(gets[1].data[0], 0x07);
}

TEST_F(FirmwareVersion, SilentDisplayReadsAsTheRequest)
{
    Configure("displays=1; fail=no_reply");
    Scan();
    displaysim_clear_records();
    int version = 0;
    ASSERT_TRUE(m_devices.ReadFirmwareVersion(version));
    EXPECT_EQ(version, 0xFD00);
    EXPECT_EQ(DisplaySimRecords(DISPLAYSIM_GET).size(), 1u);
}

TEST_F(FirmwareVersion, DisplayDeclaringALongerReportCannotAnswerTheShortRead)
{
    // The 64-byte read is refused by a display whose report is 65 bytes long; the request left in
    // the buffer reads as version 0xFD00.
    Configure("displays=1; feature_length=65");
    Scan();
    displaysim_clear_records();
    int version = 0;
    ASSERT_TRUE(m_devices.ReadFirmwareVersion(version));
    EXPECT_EQ(version, 0xFD00);
    const auto sets = DisplaySimRecords(DISPLAYSIM_SET);
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].delivered, 65) << "the request is padded";
    EXPECT_EQ(sets[0].data[64], 0);
    const auto gets = DisplaySimRecords(DISPLAYSIM_GET);
    ASSERT_EQ(gets.size(), 1u);
    EXPECT_EQ(gets[0].result, -1);
}

TEST_F(FirmwareVersion, FailedRequestStoresNothing)
{
    Configure("displays=2; display.0.fail=send");
    Scan();
    int version = -1;
    EXPECT_FALSE(m_devices.ReadFirmwareVersion(version));
    EXPECT_EQ(version, -1);
    EXPECT_TRUE(DisplaySimRecords(DISPLAYSIM_GET).empty());
}

TEST_F(FirmwareVersion, UnpluggedFirstDisplay)
{
    Configure("displays=1");
    Scan();
    displaysim_set_plugged(0, 0);
    int version = -1;
    EXPECT_FALSE(m_devices.ReadFirmwareVersion(version));
    EXPECT_EQ(version, -1);
}
