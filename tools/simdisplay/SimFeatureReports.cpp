#include "tools/simdisplay/SimFeatureReports.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr std::uint16_t kVendorUsagePage = 0xFF01;
constexpr std::uint16_t kVendorUsage = 0x0001;
constexpr std::uint8_t kVersionCommand = 0xFD;
} // namespace

bool DeclaresFeatureReports(const SimCollection& collection)
{
    return collection.usagePage == kVendorUsagePage && collection.usage == kVendorUsage;
}

bool DeclaresReportId(const SimDisplayConfig& display, std::uint8_t reportId)
{
    return std::find(display.reportIds.begin(), display.reportIds.end(), reportId) != display.reportIds.end();
}

std::vector<std::uint8_t> ReceivedFeatureReport(const SimDisplayConfig& display, const std::uint8_t* data,
                                                std::size_t length)
{
    const std::size_t declared = static_cast<std::size_t>(display.featureLength);
    std::vector<std::uint8_t> received(declared, 0);
    std::memcpy(received.data(), data, std::min(length, declared));
    return received;
}

bool IsVersionRequest(const std::uint8_t* report, std::size_t length)
{
    return length > 1 && report[1] == kVersionCommand;
}

std::vector<std::uint8_t> FeatureReply(const SimDisplayConfig& display, std::uint8_t reportId,
                                       bool versionRequested)
{
    std::vector<std::uint8_t> reply(static_cast<std::size_t>(display.featureLength), 0);
    reply[0] = reportId;
    if (versionRequested && reply.size() >= 3)
    {
        reply[1] = static_cast<std::uint8_t>(display.version >> 8);
        reply[2] = static_cast<std::uint8_t>(display.version & 0xFF);
    }
    return reply;
}
