// display_link_bench: how long the program's own device code takes per scan, per SendToAll and
// per display tick (without its one-second sleep), through the display simulator, for 1, 2 and 4
// displays. Each figure is the median of 5 runs, in microseconds per call.
#include "app/device/CDeviceManager.h"
#include "app/device/SnapshotMapping.h"
#include "app/device/DisplayTick.h"
#include "tools/displaysim/DisplaySimControl.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace
{
constexpr int kRuns = 5;

template <typename Step> double MedianMicroseconds(int calls, Step step)
{
    std::vector<double> perCall;
    for (int run = 0; run < kRuns; ++run)
    {
        displaysim_clear_records();
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < calls; ++i)
        {
            step();
        }
        const std::chrono::duration<double, std::micro> elapsed = std::chrono::steady_clock::now() - start;
        perCall.push_back(elapsed.count() / calls);
    }
    std::sort(perCall.begin(), perCall.end());
    return perCall[kRuns / 2];
}

void Scan(CDeviceManager& devices)
{
    devices.ClearFilters();
    devices.AddFilter(kDisplayVendorId, kDisplayProductId, L"", 1);
    devices.CloseAll();
    devices.ScanDevices();
    devices.SetReady();
}
} // namespace

int main()
{
    CDeviceManager& devices = CDeviceManager::Instance();
    SnapshotMapping snapshot("display_link_bench_snapshot");
    snapshot.OpenSnapshot();
    const TemperatureReport report = BuildTemperatureReport(45, 1);
    const DisplaySettings settings{1, 0, 1};

    std::printf("%-9s %14s %16s %18s\n", "displays", "scan (us)", "SendToAll (us)", "tick w/o sleep (us)");
    for (int displays : {1, 2, 4})
    {
        const std::string config = "displays=" + std::to_string(displays) + "; foreign_devices=4";
        displaysim_configure(config.c_str());
        const double scan = MedianMicroseconds(2000, [&] { Scan(devices); });
        Scan(devices);
        const double send = MedianMicroseconds(20000, [&] { devices.SendToAll(report); });
        const double tick = MedianMicroseconds(
            20000, [&] { DisplayTick(devices, snapshot, settings, std::chrono::milliseconds(0)); });
        std::printf("%-9d %14.2f %16.2f %18.2f\n", displays, scan, send, tick);
    }
    devices.CloseAll();
    return 0;
}
