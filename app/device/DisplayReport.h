#pragma once

#include "app/device/DisplayIdentity.h"

#include <array>
#include <cstddef>
#include <cstdint>

class SensorSnapshot;

// The display's feature report 0x07 (kDisplayReportId): the three digits it shows, and its firmware
// version exchange.
constexpr std::uint8_t kShowTemperatureCommand = 0xFF;
constexpr std::uint8_t kReadVersionCommand = 0xFD;
constexpr std::size_t kTemperatureReportSize = 65;
constexpr std::size_t kVersionReportSize = 64;
constexpr std::int32_t kCpuDisplayCap = 199;

using TemperatureReport = std::array<std::uint8_t, kTemperatureReportSize>;
using VersionReport = std::array<std::uint8_t, kVersionReportSize>;

// The three user settings as the main window holds them (registry values "led_switch",
// "device_type", "tempe_type").
struct DisplaySettings
{
    int ledSwitch = 1;  // 1 = digits on; anything else = off
    int deviceType = 0; // 0 = CPU; anything else = GPU
    int tempeType = 0;  // 1 = Fahrenheit; anything else = Celsius
};

// Whole Celsius degrees to the display unit. A zero reading means "no reading" and stays 0.
std::int32_t ToDisplayUnit(std::int32_t celsius, int tempeType);

// The number the display shows: unit conversion of both readings, the CPU cap, the source choice.
std::int32_t ChooseDisplayValue(std::int32_t cpuCelsius, std::int32_t gpuCelsius,
                                const DisplaySettings& settings);

// Report 0x07 carrying the hundreds, tens and ones of value (low 8 bits of each, so negative
// readings give bytes such as 0xFB); all three digit bytes are 0 when the LED switch is off.
TemperatureReport BuildTemperatureReport(std::int32_t value, int ledSwitch);

// The report a tick sends. Without a snapshot the readings count as 0 ("no reading").
TemperatureReport BuildTickReport(const SensorSnapshot* snapshot, const DisplaySettings& settings);

VersionReport BuildVersionRequest();
bool IsVersionReply(const VersionReport& reply);
// (byte 1 << 8) | byte 2, whatever byte 0 holds.
int DecodeFirmwareVersion(const VersionReport& reply);
