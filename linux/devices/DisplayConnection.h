#pragma once

#include "app/device/DisplayReport.h"

#include <string>

struct hid_device_;

// One open display (its hidraw node): the only owner of the hidapi handle.
class DisplayConnection
{
public:
    DisplayConnection(hid_device_* device, std::string path, unsigned short release);
    ~DisplayConnection();
    DisplayConnection(const DisplayConnection&) = delete;
    DisplayConnection& operator=(const DisplayConnection&) = delete;

    // The same 65 bytes the Windows program hands its HID layer. False with LastError() set on failure.
    bool Send(const TemperatureReport& report);
    // The version exchange of report 0x07; -1 when the display did not answer with that report.
    int ReadFirmwareVersion();

    const std::string& Path() const { return m_path; }
    const std::string& Product() const { return m_product; }
    unsigned short Release() const { return m_release; }
    const std::string& LastError() const { return m_lastError; }

private:
    void RememberError();

    hid_device_* m_device;
    std::string m_path;
    std::string m_product;
    unsigned short m_release;
    std::string m_lastError;
};

// "0x0103", or "unknown" for -1.
std::string FormatFirmwareVersion(int version);
