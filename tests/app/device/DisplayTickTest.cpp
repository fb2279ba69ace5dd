#include "app/device/SnapshotMapping.h"
#include "app/device/DisplayTick.h"
#include "tests/app/device/SimulatedDisplays.h"
#include "tests/app/device/WritableSnapshot.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
constexpr std::chrono::milliseconds kNoPause{0};

class DisplayTickFixture : public SimulatedDisplays
{
protected:
    // The digits every display received from the reports recorded so far, in order.
    static std::vector<std::vector<int>> ReceivedDigits()
    {
        std::vector<std::vector<int>> digits;
        for (const DisplaySimRecord& record : DisplaySimReceivedReports())
        {
            digits.push_back({record.display, record.data[3], record.data[4], record.data[5]});
        }
        return digits;
    }

    std::string m_name = UniqueSnapshotName();
    WritableSnapshot m_server{m_name};
    SnapshotMapping m_snapshot{m_name};
};

using DisplayTickTest = DisplayTickFixture;
using Digits = std::vector<std::vector<int>>;
} // namespace

TEST_F(DisplayTickTest, ReadingsReachEveryDisplay)
{
    ASSERT_TRUE(m_server.IsOpen());
    m_server.Float(SensorSnapshot::kCpuTemperatureOffset, 45.6f);
    m_server.Name(0x130, "second slot");
    m_server.Float(0x1B8, 71.2f);
    ASSERT_TRUE(m_snapshot.OpenSnapshot());
    Configure("displays=2");
    Scan();

    DisplayTick(m_devices, m_snapshot, DisplaySettings{1, 0, 0}, kNoPause);
    DisplayTick(m_devices, m_snapshot, DisplaySettings{1, 1, 1}, kNoPause);
    m_server.Float(SensorSnapshot::kCpuTemperatureOffset, 130.0f);
    DisplayTick(m_devices, m_snapshot, DisplaySettings{1, 0, 1}, kNoPause);
    EXPECT_EQ(ReceivedDigits(),
              (Digits{{0, 0, 4, 5}, {1, 0, 4, 5}, {0, 1, 5, 9}, {1, 1, 5, 9}, {0, 1, 9, 9}, {1, 1, 9, 9}}));
}

TEST_F(DisplayTickTest, LedOffStillSendsEachTick)
{
    m_server.Float(SensorSnapshot::kCpuTemperatureOffset, 45.6f);
    ASSERT_TRUE(m_snapshot.OpenSnapshot());
    Configure("displays=1");
    Scan();
    DisplayTick(m_devices, m_snapshot, DisplaySettings{2, 0, 0}, kNoPause);
    DisplayTick(m_devices, m_snapshot, DisplaySettings{2, 0, 0}, kNoPause);
    EXPECT_EQ(ReceivedDigits(), (Digits{{0, 0, 0, 0}, {0, 0, 0, 0}}));
}

TEST_F(DisplayTickTest, WithoutSnapshotViewSendsZeroReadings)
{
    Configure("displays=1");
    Scan();
    ASSERT_FALSE(m_snapshot.IsOpen());
    DisplayTick(m_devices, m_snapshot, DisplaySettings{1, 0, 1}, kNoPause);
    EXPECT_EQ(ReceivedDigits(), (Digits{{0, 0, 0, 0}}));
}

TEST_F(DisplayTickTest, NoDisplaysSendsNothing)
{
    ASSERT_TRUE(m_snapshot.OpenSnapshot());
    Configure("displays=0");
    Scan();
    DisplayTick(m_devices, m_snapshot, DisplaySettings{}, kNoPause);
    EXPECT_TRUE(DisplaySimRecords().empty());
}
