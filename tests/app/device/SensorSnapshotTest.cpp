#include "app/device/DisplayReport.h"
#include "app/device/SensorSnapshot.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace
{
constexpr std::int32_t kIndefinite = std::numeric_limits<std::int32_t>::min();

// A block laid out byte by byte the way the sensor server writes it.
class SnapshotBlock
{
public:
    SnapshotBlock() { m_bytes.fill(0); }
    void Float(std::size_t offset, float value) { std::memcpy(m_bytes.data() + offset, &value, 4); }
    void Name(std::size_t offset, const std::string& name)
    {
        std::memcpy(m_bytes.data() + offset, name.c_str(), name.size() + 1);
    }
    SensorSnapshot View() const { return SensorSnapshot(m_bytes.data()); }

private:
    alignas(4) std::array<std::uint8_t, 0x248> m_bytes;
};
} // namespace

TEST(SensorSnapshot, LayoutOffsets)
{
    SnapshotBlock block;
    block.Float(0x98, 45.5f);
    block.Float(0x9C, 1.0f);
    block.Name(0xA0, "GPU one");
    block.Float(0x128, 61.25f);
    block.Name(0x130, "GPU two");
    block.Float(0x1B8, 72.75f);
    const SensorSnapshot snapshot = block.View();
    EXPECT_EQ(snapshot.CpuTemperature(), 45.5f);
    EXPECT_EQ(snapshot.CpuLiveness(), 1.0f);
    EXPECT_TRUE(snapshot.IsGpuSlotNamed(0));
    EXPECT_TRUE(snapshot.IsGpuSlotNamed(1));
    EXPECT_EQ(snapshot.GpuSlotTemperature(0), 61.25f);
    EXPECT_EQ(snapshot.GpuSlotTemperature(1), 72.75f);
}

TEST(SensorSnapshot, ZeroBlockReadsAsNoReadings)
{
    const SnapshotBlock block;
    const SensorSnapshot snapshot = block.View();
    EXPECT_EQ(snapshot.CpuDegrees(), 0);
    EXPECT_EQ(snapshot.GpuDegrees(), 0);
    EXPECT_FALSE(snapshot.IsGpuSlotNamed(0));
    EXPECT_FALSE(snapshot.IsGpuSlotNamed(1));
    EXPECT_FALSE(snapshot.IsServerDelivering());
}

TEST(SensorSnapshot, GpuSlotRule)
{
    SnapshotBlock block;
    block.Float(0x128, 50.0f);
    block.Float(0x1B8, 70.0f);
    EXPECT_EQ(block.View().GpuDegrees(), 50) << "no slot named: first slot";

    block.Name(0x130, "second");
    EXPECT_EQ(block.View().GpuDegrees(), 70) << "only the second slot named";

    block.Name(0xA0, "first");
    EXPECT_EQ(block.View().GpuDegrees(), 50) << "both named: first slot";

    block.Name(0x130, "");
    EXPECT_EQ(block.View().GpuDegrees(), 50) << "only the first named";
}

TEST(SensorSnapshot, OnlyTheFirstByteOfANameCounts)
{
    SnapshotBlock block;
    block.Float(0x128, 50.0f);
    block.Float(0x1B8, 70.0f);
    block.Name(0x130, "x");
    block.Name(0xA1, "rest of a name after an empty first byte");
    EXPECT_EQ(block.View().GpuDegrees(), 70);
}

TEST(SensorSnapshot, DegreesTruncateTowardZero)
{
    SnapshotBlock block;
    block.Float(0x98, 99.99f);
    block.Float(0x128, -0.5f);
    EXPECT_EQ(block.View().CpuDegrees(), 99);
    EXPECT_EQ(block.View().GpuDegrees(), 0);
    block.Float(0x98, -2.5f);
    EXPECT_EQ(block.View().CpuDegrees(), -2);
}

TEST(SensorSnapshot, GarbageFloatsGiveIndefinite)
{
    SnapshotBlock block;
    for (float garbage : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity(), 3.0e9f, -1.0e30f})
    {
        block.Float(0x98, garbage);
        block.Float(0x128, garbage);
        EXPECT_EQ(block.View().CpuDegrees(), kIndefinite) << garbage;
        EXPECT_EQ(block.View().GpuDegrees(), kIndefinite) << garbage;
    }
    const SensorSnapshot snapshot = block.View();
    const TemperatureReport report = BuildTickReport(&snapshot, DisplaySettings{1, 0, 1});
    EXPECT_EQ(report[3], 0xFA);
    EXPECT_EQ(report[4], 0xFC);
    EXPECT_EQ(report[5], 0xF8);
}

TEST(SensorSnapshot, LivenessZeroOrLessMeansNotDelivering)
{
    SnapshotBlock block;
    block.Float(0x9C, -1.0f);
    EXPECT_FALSE(block.View().IsServerDelivering());
    block.Float(0x9C, 0.001f);
    EXPECT_TRUE(block.View().IsServerDelivering());
    block.Float(0x9C, std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(block.View().IsServerDelivering());
}

TEST(SensorSnapshot, TickReportFromSnapshot)
{
    SnapshotBlock block;
    block.Float(0x98, 45.6f);
    block.Name(0x130, "second");
    block.Float(0x1B8, 71.2f);
    const SensorSnapshot snapshot = block.View();
    const TemperatureReport cpu = BuildTickReport(&snapshot, DisplaySettings{1, 0, 0});
    EXPECT_EQ(cpu[3], 0);
    EXPECT_EQ(cpu[4], 4);
    EXPECT_EQ(cpu[5], 5);
    const TemperatureReport gpu = BuildTickReport(&snapshot, DisplaySettings{1, 1, 1});
    EXPECT_EQ(gpu[3], 1);
    EXPECT_EQ(gpu[4], 5);
    EXPECT_EQ(gpu[5], 9);
}
