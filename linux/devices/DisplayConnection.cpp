#include "linux/devices/DisplayConnection.h"

#include "linux/devices/FeatureReportLength.h"
#include "linux/platform/SafeText.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

namespace
{
// The display needs a moment between the request and the answer.
constexpr std::chrono::milliseconds kVersionPause{16};
} // namespace

DisplayConnection::DisplayConnection(HidDevice device, std::string path, unsigned short release,
                                     std::size_t featureLength)
    : m_device(std::move(device)), m_path(std::move(path)), m_release(release), m_featureLength(featureLength)
{
    wchar_t product[256] = {};
    if (hid_get_product_string(m_device.get(), product, sizeof product / sizeof product[0] - 1) == 0)
    {
        m_product = NarrowDeviceText(product);
    }
}

void DisplayConnection::RememberError()
{
    const std::string text = NarrowDeviceText(hid_error(m_device.get()));
    m_lastError = text.empty() ? "the display did not take the report" : text;
}

bool DisplayConnection::Send(const TemperatureReport& report)
{
    FitToLength(report.data(), report.size(), m_featureLength, m_buffer);
    if (hid_send_feature_report(m_device.get(), m_buffer.data(), m_buffer.size()) < 0)
    {
        RememberError();
        return false;
    }
    m_lastError.clear();
    return true;
}

int DisplayConnection::ReadFirmwareVersion()
{
    const VersionReport request = BuildVersionRequest();
    FitToLength(request.data(), request.size(), m_featureLength, m_buffer);
    if (hid_send_feature_report(m_device.get(), m_buffer.data(), m_buffer.size()) <= 0)
    {
        RememberError();
        return -1;
    }
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        std::this_thread::sleep_for(kVersionPause);
        // Byte 0 names the report to read; the buffer must hold the whole declared report.
        FitToLength(request.data(), request.size(), std::max(m_featureLength, request.size()), m_buffer);
        if (hid_get_feature_report(m_device.get(), m_buffer.data(), m_buffer.size()) > 0)
        {
            VersionReport reply{};
            std::copy_n(m_buffer.begin(), reply.size(), reply.begin());
            if (IsVersionReply(reply))
            {
                return DecodeFirmwareVersion(reply);
            }
        }
    }
    return -1;
}

std::string FormatFirmwareVersion(int version)
{
    if (version < 0)
    {
        return "unknown";
    }
    char text[16];
    std::snprintf(text, sizeof text, "0x%04x", static_cast<unsigned>(version));
    return text;
}
