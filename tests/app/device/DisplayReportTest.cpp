#include "app/device/DisplayReport.h"
#include "app/device/TruncateToInt32.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
constexpr std::int32_t kIndefinite = std::numeric_limits<std::int32_t>::min();

::testing::AssertionResult HasDigits(const TemperatureReport& report, int hundreds, int tens, int ones)
{
    if (report[3] == hundreds && report[4] == tens && report[5] == ones)
    {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "digits " << int{report[3]} << "," << int{report[4]} << "," << int{report[5]} << " expected "
           << hundreds << "," << tens << "," << ones;
}

TemperatureReport Show(std::int32_t cpu, std::int32_t gpu, DisplaySettings settings)
{
    return BuildTemperatureReport(ChooseDisplayValue(cpu, gpu, settings), settings.ledSwitch);
}

const DisplaySettings kCpuCelsius{1, 0, 0};
const DisplaySettings kCpuFahrenheit{1, 0, 1};
const DisplaySettings kGpuCelsius{1, 1, 0};
const DisplaySettings kGpuFahrenheit{1, 1, 1};
} // namespace

TEST(TruncateToInt32, TruncatesTowardZeroAndMapsGarbageToIndefinite)
{
    EXPECT_EQ(TruncateToInt32(37.9), 37);
    EXPECT_EQ(TruncateToInt32(-2.5), -2);
    EXPECT_EQ(TruncateToInt32(99.99), 99);
    EXPECT_EQ(TruncateToInt32(-0.5), 0);
    EXPECT_EQ(TruncateToInt32(2147483647.9), 2147483647);
    EXPECT_EQ(TruncateToInt32(-2147483648.9), kIndefinite);
    EXPECT_EQ(TruncateToInt32(2147483648.0), kIndefinite);
    EXPECT_EQ(TruncateToInt32(-3.0e9), kIndefinite);
    EXPECT_EQ(TruncateToInt32(std::nan("")), kIndefinite);
    EXPECT_EQ(TruncateToInt32(std::numeric_limits<double>::infinity()), kIndefinite);
    EXPECT_EQ(TruncateToInt32(-std::numeric_limits<double>::infinity()), kIndefinite);
}

TEST(TemperatureReport, GoldenBytesForCpu45Celsius)
{
    TemperatureReport expected{};
    expected[0] = 0x07;
    expected[1] = 0xFF;
    expected[2] = 0xFF;
    expected[3] = 0;
    expected[4] = 4;
    expected[5] = 5;
    EXPECT_EQ(Show(45, 0, kCpuCelsius), expected);
    EXPECT_EQ(expected.size(), 65u);
}

TEST(TemperatureReport, ExamplesOfTheDisplay)
{
    EXPECT_TRUE(HasDigits(Show(45, 0, kCpuCelsius), 0, 4, 5));
    EXPECT_TRUE(HasDigits(Show(0, 71, kGpuFahrenheit), 1, 5, 9));  // 159.8 F
    EXPECT_TRUE(HasDigits(Show(130, 0, kCpuFahrenheit), 1, 9, 9)); // 266 F capped
    EXPECT_TRUE(HasDigits(Show(37, 0, kCpuFahrenheit), 0, 9, 8));  // 98.6 F truncated
    EXPECT_TRUE(HasDigits(Show(100, 0, kCpuCelsius), 1, 0, 0));
}

TEST(TemperatureReport, SourceSettingPicksCpuOrGpu)
{
    EXPECT_TRUE(HasDigits(Show(40, 60, kCpuCelsius), 0, 4, 0));
    EXPECT_TRUE(HasDigits(Show(40, 60, kGpuCelsius), 0, 6, 0));
    // Any non-zero source means GPU.
    EXPECT_TRUE(HasDigits(Show(40, 60, DisplaySettings{1, 7, 0}), 0, 6, 0));
}

TEST(TemperatureReport, FahrenheitKeepsZeroAsNoReading)
{
    EXPECT_TRUE(HasDigits(Show(0, 0, kCpuFahrenheit), 0, 0, 0));
    EXPECT_TRUE(HasDigits(Show(0, 0, kGpuFahrenheit), 0, 0, 0));
    EXPECT_EQ(ToDisplayUnit(0, 1), 0);
    EXPECT_EQ(ToDisplayUnit(1, 1), 33);
    EXPECT_EQ(ToDisplayUnit(-5, 1), 23);
    EXPECT_EQ(ToDisplayUnit(-40, 1), -40);
    // Only 1 selects Fahrenheit.
    EXPECT_EQ(ToDisplayUnit(30, 2), 30);
}

TEST(TemperatureReport, OnlyTheCpuValueIsCapped)
{
    EXPECT_TRUE(HasDigits(Show(199, 0, kCpuCelsius), 1, 9, 9));
    EXPECT_TRUE(HasDigits(Show(250, 0, kCpuCelsius), 1, 9, 9));
    EXPECT_TRUE(HasDigits(Show(121, 0, kCpuFahrenheit), 1, 9, 9)); // 249.8 F
    EXPECT_TRUE(HasDigits(Show(0, 95, kGpuFahrenheit), 2, 0, 3));  // 203 F, not capped
    EXPECT_TRUE(HasDigits(Show(0, 250, kGpuCelsius), 2, 5, 0));
    // Above 999 only the last three digits reach the display.
    EXPECT_TRUE(HasDigits(Show(0, 1234, kGpuCelsius), 2, 3, 4));
}

TEST(TemperatureReport, NegativeReadingsGiveNegativeDigitBytes)
{
    EXPECT_TRUE(HasDigits(Show(-5, 0, kCpuCelsius), 0, 0, 0xFB));
    EXPECT_TRUE(HasDigits(Show(-15, 0, kCpuCelsius), 0, 0xFF, 0xFB));
    EXPECT_TRUE(HasDigits(Show(0, -123, kGpuCelsius), 0xFF, 0xFE, 0xFD));
}

TEST(TemperatureReport, IndefiniteReadingGivesDefinedDigits)
{
    // -2147483648: hundreds (-21474836 % 10) = -6, tens -4, ones -8, in either unit.
    EXPECT_TRUE(HasDigits(Show(kIndefinite, 0, kCpuCelsius), 0xFA, 0xFC, 0xF8));
    EXPECT_TRUE(HasDigits(Show(kIndefinite, 0, kCpuFahrenheit), 0xFA, 0xFC, 0xF8));
    EXPECT_TRUE(HasDigits(Show(0, kIndefinite, kGpuFahrenheit), 0xFA, 0xFC, 0xF8));
    // A huge GPU reading leaves the 32-bit range only after conversion.
    EXPECT_EQ(ToDisplayUnit(2000000000, 1), kIndefinite);
}

TEST(TemperatureReport, LedOffBlanksOnlyTheDigits)
{
    for (int ledSwitch : {0, 2, 7})
    {
        const TemperatureReport off = Show(45, 0, DisplaySettings{ledSwitch, 0, 0});
        TemperatureReport expected{};
        expected[0] = 0x07;
        expected[1] = 0xFF;
        expected[2] = 0xFF;
        EXPECT_EQ(off, expected) << "led switch " << ledSwitch;
    }
}

TEST(TemperatureReport, TickWithoutSnapshotSendsZeroReadings)
{
    EXPECT_TRUE(HasDigits(BuildTickReport(nullptr, kCpuCelsius), 0, 0, 0));
    EXPECT_TRUE(HasDigits(BuildTickReport(nullptr, kGpuFahrenheit), 0, 0, 0));
    const TemperatureReport report = BuildTickReport(nullptr, kCpuCelsius);
    EXPECT_EQ(report[0], 0x07);
    EXPECT_EQ(report[1], 0xFF);
}

TEST(VersionReport, RequestBytes)
{
    VersionReport expected{};
    expected[0] = 0x07;
    expected[1] = 0xFD;
    EXPECT_EQ(BuildVersionRequest(), expected);
    EXPECT_EQ(expected.size(), 64u);
}

TEST(VersionReport, ReplyIsBigEndian)
{
    VersionReport reply{};
    reply[0] = 0x07;
    reply[1] = 0x01;
    reply[2] = 0x03;
    EXPECT_TRUE(IsVersionReply(reply));
    EXPECT_EQ(DecodeFirmwareVersion(reply), 0x0103);
    reply[0] = 0x00;
    reply[1] = 0xAB;
    reply[2] = 0xCD;
    EXPECT_FALSE(IsVersionReply(reply));
    EXPECT_EQ(DecodeFirmwareVersion(reply), 0xABCD);
    // A display that answered nothing leaves the request in the buffer.
    EXPECT_EQ(DecodeFirmwareVersion(BuildVersionRequest()), 0xFD00);
}
