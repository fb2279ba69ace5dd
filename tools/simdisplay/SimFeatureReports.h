#pragma once

#include "tools/simdisplay/SimConfig.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// What a simulated display makes of feature reports, the same behind both simulators' hidapi.
// The values are the display's own as a person reading its protocol would write them, not the
// product's constants.

// Only the vendor-defined collection (usage page 0xFF01, usage 1) declares feature reports.
bool DeclaresFeatureReports(const SimCollection& collection);
bool DeclaresReportId(const SimDisplayConfig& display, std::uint8_t reportId);

// The bytes the display receives of a set-feature: exactly its declared length, a shorter buffer
// padded with zeros and a longer one cut, as the Windows HID stack delivers them.
std::vector<std::uint8_t> ReceivedFeatureReport(const SimDisplayConfig& display, const std::uint8_t* data,
                                                std::size_t length);

// A report whose command byte (byte 1) asks for the firmware version.
bool IsVersionRequest(const std::uint8_t* report, std::size_t length);

// The display's answer to a get-feature, of its declared length: the report id the caller named,
// then, after a version request, the version high byte first; zeros elsewhere.
std::vector<std::uint8_t> FeatureReply(const SimDisplayConfig& display, std::uint8_t reportId,
                                       bool versionRequested);
