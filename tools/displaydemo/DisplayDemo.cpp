// displaydemo [--seconds N] [--name SNAPSHOT]
// Runs the program's scan and display tick against the simulated displays for N ticks (about a
// second each), walking through the display settings, and prints each second what every display
// received. The readings come from the sensor snapshot, written meanwhile by snapshotwriter.
#include "app/device/CDeviceManager.h"
#include "app/device/SnapshotMapping.h"
#include "app/device/DisplayTick.h"
#include "app/device/SensorSnapshot.h"
#include "tools/displaysim/DisplaySimRecords.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{
struct Phase
{
    DisplaySettings settings;
    const char* label;
};

// Two ticks per phase, so every setting is seen at least once in ten seconds.
const Phase kPhases[] = {
    {{1, 0, 0}, "CPU, Celsius"},    {{1, 1, 0}, "GPU, Celsius"}, {{1, 1, 1}, "GPU, Fahrenheit"},
    {{1, 0, 1}, "CPU, Fahrenheit"}, {{2, 0, 0}, "LED off"},
};

std::string DigitText(unsigned char digit)
{
    // Negative readings reach the display as negative digit bytes; show them as numbers.
    return std::to_string(static_cast<int>(static_cast<signed char>(digit)));
}

std::string ReadingsText(const SnapshotMapping& snapshot)
{
    if (!snapshot.IsOpen())
    {
        return "no snapshot";
    }
    const SensorSnapshot readings(snapshot.View());
    char text[64];
    std::snprintf(text, sizeof text, "snapshot CPU %6.1f C, GPU %6.1f C", readings.CpuTemperature(),
                  readings.GpuTemperature());
    return text;
}
} // namespace

int main(int argc, char** argv)
{
    int seconds = 10;
    std::string name = kSnapshotName;
    for (int i = 1; i + 1 < argc; i += 2)
    {
        if (std::strcmp(argv[i], "--seconds") == 0)
            seconds = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--name") == 0)
            name = argv[i + 1];
    }

    // The scan command, as the worker runs it.
    CDeviceManager& devices = CDeviceManager::Instance();
    devices.ClearFilters();
    devices.AddFilter(kDisplayVendorId, kDisplayProductId, L"", 1);
    devices.CloseAll();
    devices.ScanDevices();
    devices.SetReady();
    std::printf("scan: Device:%d\n", devices.Count());
    SnapshotMapping snapshot(name);
    std::printf("snapshot \"%s\": %s\n", name.c_str(), snapshot.OpenSnapshot() ? "open" : "not available");
    int version = 0;
    if (devices.ReadFirmwareVersion(version))
    {
        std::printf("firmware version of the first display: %x\n", static_cast<unsigned>(version));
    }
    std::fflush(stdout);

    for (int tick = 0; tick < seconds; ++tick)
    {
        const Phase& phase = kPhases[(tick / 2) % (sizeof kPhases / sizeof kPhases[0])];
        displaysim_clear_records();
        // Read just before the tick does, since the tick ends with its one-second sleep.
        const std::string readings = ReadingsText(snapshot);
        DisplayTick(devices, snapshot, phase.settings);
        std::printf("t=%2ds  %s  [%-15s] ->", tick, readings.c_str(), phase.label);
        for (const DisplaySimRecord& report : DisplaySimReceivedReports())
        {
            std::printf("  display %d shows %s %s %s", report.display, DigitText(report.data[3]).c_str(),
                        DigitText(report.data[4]).c_str(), DigitText(report.data[5]).c_str());
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    devices.CloseAll();
    return 0;
}
