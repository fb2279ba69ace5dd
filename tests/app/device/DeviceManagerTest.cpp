#include "app/device/CDeviceManager.h"
#include "tests/app/device/SimulatedDisplays.h"

#include <hidapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace
{
TemperatureReport ReportShowing(std::uint8_t hundreds, std::uint8_t tens, std::uint8_t ones)
{
    return BuildTemperatureReport(hundreds * 100 + tens * 10 + ones, 1);
}

std::vector<std::pair<int, int>> Events(int kind)
{
    std::vector<std::pair<int, int>> events;
    for (const DisplaySimRecord& record : DisplaySimRecords(kind))
    {
        events.emplace_back(record.display, record.collection);
    }
    return events;
}

using DeviceManager = SimulatedDisplays;
} // namespace

TEST_F(DeviceManager, TwoDisplaysReceiveEveryReportInEnumerationOrder)
{
    Configure("displays=2; display.1.product_name=Second; display.1.release=0x0205");
    Scan();
    ASSERT_EQ(m_devices.Count(), 2);
    for (int i = 0; i < 2; ++i)
    {
        const DeviceEntry& entry = m_devices.Entry(i);
        EXPECT_EQ(entry.index, i);
        EXPECT_EQ(entry.vendor, 0x1A2C);
        EXPECT_EQ(entry.product, 0x434D);
        EXPECT_NE(entry.path.find("col02"), std::string::npos) << entry.path; // the vendor collection
        EXPECT_TRUE(entry.device);
    }
    EXPECT_EQ(m_devices.Entry(0).productName, L"Cooler Display");
    EXPECT_EQ(m_devices.Entry(1).productName, L"Second");
    EXPECT_EQ(m_devices.Entry(1).release, 0x0205);

    displaysim_clear_records();
    const TemperatureReport first = ReportShowing(0, 4, 5);
    const TemperatureReport second = ReportShowing(0, 6, 1);
    EXPECT_TRUE(m_devices.SendToAll(first));
    EXPECT_TRUE(m_devices.SendToAll(second));

    const std::vector<DisplaySimRecord> received = DisplaySimReceivedReports();
    ASSERT_EQ(received.size(), 4u);
    const TemperatureReport* expected[] = {&first, &first, &second, &second};
    for (std::size_t i = 0; i < received.size(); ++i)
    {
        EXPECT_EQ(received[i].display, static_cast<int>(i % 2)) << i;
        EXPECT_EQ(received[i].collection, 1);
        EXPECT_EQ(received[i].requested, 65);
        EXPECT_EQ(received[i].delivered, 64) << "cut to the display's declared length";
        EXPECT_EQ(0, std::memcmp(received[i].data, expected[i]->data(), 64)) << i;
    }
}

TEST_F(DeviceManager, LastReportByteAlwaysGoesOutAsZero)
{
    Configure("displays=1; feature_length=65");
    Scan();
    displaysim_clear_records();
    TemperatureReport report = ReportShowing(0, 4, 5);
    report[63] = 0x5A;
    report[64] = 0xA5;
    ASSERT_TRUE(m_devices.SendToAll(report));
    const std::vector<DisplaySimRecord> received = DisplaySimReceivedReports();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].data[63], 0x5A);
    EXPECT_EQ(received[0].data[64], 0x00);
}

TEST_F(DeviceManager, OtherCollectionsAreOpenedClosedAndNotListed)
{
    Configure("displays=1; collections=000c:0001,ff01:0001,ff00:0001,ff01:0002");
    Scan();
    ASSERT_EQ(m_devices.Count(), 1);
    EXPECT_EQ(Events(DISPLAYSIM_OPEN), (std::vector<std::pair<int, int>>{{0, 0}, {0, 1}, {0, 2}, {0, 3}}));
    EXPECT_EQ(Events(DISPLAYSIM_CLOSE), (std::vector<std::pair<int, int>>{{0, 0}, {0, 2}, {0, 3}}));
    EXPECT_EQ(displaysim_open_handles(), 1);

    m_devices.CloseAll();
    EXPECT_EQ(m_devices.Count(), 0);
    EXPECT_EQ(displaysim_open_handles(), 0);
}

TEST_F(DeviceManager, ForeignDevicesAndOtherProductsAreNeverOpened)
{
    Configure("displays=2; foreign_devices=3; display.0.product_id=0x434E");
    Scan();
    ASSERT_EQ(m_devices.Count(), 1);
    for (const DisplaySimRecord& open : DisplaySimRecords(DISPLAYSIM_OPEN))
    {
        EXPECT_EQ(open.display, 1);
    }
}

TEST_F(DeviceManager, NothingIsSentBeforeAScanCompletes)
{
    Configure("displays=1");
    EXPECT_FALSE(m_devices.SendToAll(ReportShowing(0, 4, 5))) << "before any scan";

    m_devices.AddFilter(kDisplayVendorId, kDisplayProductId, L"", 1);
    m_devices.ScanDevices();
    EXPECT_EQ(m_devices.Count(), 1);
    EXPECT_FALSE(m_devices.SendToAll(ReportShowing(0, 4, 5))) << "scanned but not marked ready";
    int version = -1;
    EXPECT_FALSE(m_devices.ReadFirmwareVersion(version));
    EXPECT_EQ(version, -1);
    EXPECT_TRUE(DisplaySimRecords(DISPLAYSIM_SET).empty());

    m_devices.SetReady();
    m_devices.CloseAll();
    EXPECT_FALSE(m_devices.IsReady());
    EXPECT_FALSE(m_devices.SendToAll(ReportShowing(0, 4, 5))) << "after CloseAll";
    EXPECT_TRUE(DisplaySimRecords(DISPLAYSIM_SET).empty());
}

TEST_F(DeviceManager, CloseAllTwiceClosesOnce)
{
    Configure("displays=2");
    Scan();
    m_devices.CloseAll();
    m_devices.CloseAll();
    EXPECT_EQ(DisplaySimRecords(DISPLAYSIM_CLOSE).size(), 2u + 4u); // 4 non-vendor collections at scan
    EXPECT_EQ(displaysim_open_handles(), 0);
}

TEST_F(DeviceManager, RepeatedScansDoNotLeakHandles)
{
    Configure("displays=2");
    for (int i = 0; i < 3; ++i)
    {
        Scan();
        EXPECT_EQ(m_devices.Count(), 2);
        EXPECT_EQ(displaysim_open_handles(), 2);
    }
}

TEST_F(DeviceManager, DisplayWithoutProductStringIsListedWithEmptyName)
{
    Configure("displays=1; fail=product");
    Scan();
    ASSERT_EQ(m_devices.Count(), 1);
    EXPECT_TRUE(m_devices.Entry(0).productName.empty());
}

TEST_F(DeviceManager, RefusedOpenIsSkipped)
{
    Configure("displays=2; display.0.fail=open");
    Scan();
    ASSERT_EQ(m_devices.Count(), 1);
    EXPECT_EQ(m_devices.Entry(0).index, 0);
    ASSERT_TRUE(m_devices.SendToAll(ReportShowing(0, 4, 5)));
    const std::vector<DisplaySimRecord> received = DisplaySimReceivedReports();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].display, 1);
}

TEST_F(DeviceManager, FailingDisplayDoesNotStopTheOthers)
{
    Configure("displays=3; display.1.fail=send");
    Scan();
    ASSERT_EQ(m_devices.Count(), 3);
    displaysim_clear_records();
    EXPECT_TRUE(m_devices.SendToAll(ReportShowing(0, 4, 5)));
    const std::vector<DisplaySimRecord> received = DisplaySimReceivedReports();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].display, 0);
    EXPECT_EQ(received[1].display, 2);
    // hidapi keeps the reason on the failing device.
    EXPECT_STRNE(hid_error(m_devices.Entry(1).device.get()), L"Success");
}

TEST_F(DeviceManager, UnplugMidScan)
{
    // Display 0 goes after its first collection was opened: its vendor collection cannot be.
    Configure("displays=2; display.0.fail=unplug_after_opens:1");
    Scan();
    ASSERT_EQ(m_devices.Count(), 1);
    EXPECT_EQ(displaysim_open_handles(), 1);

    // Display 0 goes right after its vendor collection was opened: listed, but sends fail.
    Configure("displays=2; display.0.fail=unplug_after_opens:2");
    Scan();
    ASSERT_EQ(m_devices.Count(), 2);
    displaysim_clear_records();
    EXPECT_TRUE(m_devices.SendToAll(ReportShowing(0, 4, 5)));
    const std::vector<DisplaySimRecord> received = DisplaySimReceivedReports();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].display, 1);
}

TEST_F(DeviceManager, ZeroDisplays)
{
    Configure("displays=0");
    Scan();
    EXPECT_EQ(m_devices.Count(), 0);
    EXPECT_TRUE(m_devices.SendToAll(ReportShowing(0, 4, 5)));
    EXPECT_TRUE(DisplaySimRecords().empty());
    int version = -1;
    EXPECT_FALSE(m_devices.ReadFirmwareVersion(version));

    Configure("displays=0; foreign_devices=0");
    Scan();
    EXPECT_EQ(m_devices.Count(), 0);
}

TEST_F(DeviceManager, HidSupportUnavailableFindsNothing)
{
    Configure("displays=2; init_fails=1");
    const int initCalls = displaysim_init_calls();
    Scan();
    EXPECT_EQ(m_devices.Count(), 0);
    EXPECT_GT(displaysim_init_calls(), initCalls) << "the scan retries the start";

    Configure("displays=2");
    Scan();
    EXPECT_EQ(m_devices.Count(), 2);
}

TEST_F(DeviceManager, PathLongerThan1023CharactersIsKeptWhole)
{
    Configure("displays=2; display.0.path_length=1500");
    Scan();
    ASSERT_EQ(m_devices.Count(), 2);
    EXPECT_EQ(m_devices.Entry(0).path.size(), 1500u);
    EXPECT_EQ(m_devices.Entry(0).path.substr(m_devices.Entry(0).path.size() - 39),
              "#{4d1e55b2-f16f-11cf-88cb-001111000030}");
    EXPECT_LT(m_devices.Entry(1).path.size(), 1023u);
    ASSERT_TRUE(m_devices.SendToAll(ReportShowing(0, 4, 5)));
    EXPECT_EQ(DisplaySimReceivedReports().size(), 2u);
}
