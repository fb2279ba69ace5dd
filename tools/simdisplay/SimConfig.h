#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SimCollection
{
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
};

// What "fail=" can switch on for a display.
struct SimFailures
{
    bool open = false;         // every open of its collections is refused
    bool product = false;      // product string cannot be read
    bool send = false;         // every set-feature fails
    bool noReply = false;      // get-feature fails, buffer untouched
    bool lateReply = false;    // first get-feature after a version request comes back without report ID
    int unplugAfterOpens = -1; // unplugged right after this many successful opens (-1: never)
};

struct SimDisplayConfig
{
    std::uint16_t vendor = 0x1A2C;
    std::uint16_t product = 0x434D;
    std::uint16_t release = 0x0100;
    std::uint16_t version = 0x0103;
    std::wstring productName = L"Cooler Display";
    // Declared by the vendor collection, report ID byte included. 64 is the length at which both of
    // the program's exchanges work on Windows: the 64-byte version read must hold the whole report.
    int featureLength = 64;
    std::vector<std::uint8_t> reportIds{0x07};
    std::vector<SimCollection> collections{{0x000C, 0x0001}, {0xFF01, 0x0001}, {0xFF00, 0x0001}};
    int pathLength = 0; // pad the device paths to at least this many characters
    SimFailures fail;
};

struct SimConfig
{
    std::vector<SimDisplayConfig> displays{SimDisplayConfig{}};
    int foreignDevices = 1; // unrelated HID devices listed before the displays
    bool initFails = false;
    std::string logPath;
};

// Parses "key=value" lines (or ';'-separated); '#' starts a comment. Keys without "display.N."
// apply to every display, "display.N.key" to display N only. Unknown lines are reported through
// ok and skipped.
SimConfig ParseSimConfig(const std::string& text, bool& ok);
