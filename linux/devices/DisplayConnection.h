#pragma once

#include "app/device/DisplayReport.h"
#include "linux/devices/HidDevice.h"

#include <cstdint>
#include <string>
#include <vector>

// One open display (its hidraw node) and what was learnt of it when it was opened.
class DisplayConnection
{
public:
    // featureLength: report 0x07's length as the display declares it (ID byte included), 0 when
    // unknown; reports are cut or padded to it as the Windows HID stack does.
    DisplayConnection(HidDevice device, std::string path, unsigned short release, std::size_t featureLength);

    // The same 65 bytes the Windows program hands its HID layer. False with LastError() set on failure.
    bool Send(const TemperatureReport& report);
    // The version exchange of report 0x07; -1 when the display did not answer with that report.
    int ReadFirmwareVersion();

    const std::string& Path() const { return m_path; }
    const std::string& Product() const { return m_product; }
    unsigned short Release() const { return m_release; }
    const std::string& LastError() const { return m_lastError; }
    std::size_t FeatureLength() const { return m_featureLength; }

private:
    void RememberError();

    HidDevice m_device;
    std::string m_path;
    std::string m_product;
    unsigned short m_release;
    std::size_t m_featureLength;
    std::vector<std::uint8_t> m_buffer;
    std::string m_lastError;
};

// "0x0103", or "unknown" for -1.
std::string FormatFirmwareVersion(int version);
