#pragma once

#include "app/device/HidDevice.h"

#include <cstdint>
#include <string>

// One open display found by a scan.
struct DeviceEntry
{
    int index = 0; // list size when this entry was added
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::string path; // whole, however long the system's path is
    std::wstring text1;
    std::wstring productName; // empty when the display would not tell
    std::wstring text3;
    HidDevice device;
    int release = 0;
    bool sendFailing = false; // the last report to it failed; the log says so once per change
};
