#pragma once

#include <cstdint>

// Who the display is, as the USB bus and its report descriptor say: the one place both editions
// (the Windows program and the Linux daemon) take it from. The simulators keep their own copy, so
// that a wrong value here fails the tests instead of fooling them.
constexpr std::uint16_t kDisplayVendorId = 0x1A2C;
constexpr std::uint16_t kDisplayProductId = 0x434D;
// The display lists several collections; only its vendor-defined one takes the feature report.
constexpr std::uint16_t kDisplayUsagePage = 0xFF01;
constexpr std::uint16_t kDisplayUsage = 0x0001;
// The feature report that carries the three digits and the firmware version exchange.
constexpr std::uint8_t kDisplayReportId = 0x07;
