// CPU time the worker costs while it idles: with no display (it rests until a command comes) and
// with one simulated display (one report a second). Not a test: it prints numbers. The whole
// program's idle cost beside a floor program: benchmarks/idle_cost.
// Usage: worker_idle_bench [seconds per case, default 60]
#include "app/device/CDeviceManager.h"
#include "app/device/DeviceWorker.h"
#include "app/device/WorkerCommands.h"
#include "tools/displaysim/DisplaySimControl.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace
{
class BenchWorker : public DeviceWorker
{
public:
    explicit BenchWorker(CDeviceManager& devices) : DeviceWorker(devices, "tk_worker_idle_bench") {}
    ~BenchWorker() { Stop(); }
};

double ProcessCpuMs()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ticks = [](const FILETIME& t)
    { return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

int ReportsSent()
{
    int reports = 0;
    for (int i = 0; i < displaysim_record_count(); ++i)
    {
        DisplaySimRecord record = {};
        if (displaysim_get_record(i, &record) == 1 && record.kind == DISPLAYSIM_SET)
        {
            ++reports;
        }
    }
    return reports;
}

void Measure(CDeviceManager& devices, int displays, int seconds)
{
    char config[32];
    std::snprintf(config, sizeof(config), "displays=%d", displays);
    displaysim_configure(config);

    BenchWorker worker(devices);
    worker.Start();
    worker.Append(CMD_SCAN_DEVICES);
    Sleep(500); // let the scan finish; only the steady state counts
    displaysim_clear_records();

    const double cpuBefore = ProcessCpuMs();
    const ULONGLONG wallBefore = GetTickCount64();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    const double cpuMs = ProcessCpuMs() - cpuBefore;
    const double wallS = static_cast<double>(GetTickCount64() - wallBefore) / 1000.0;
    const int reports = ReportsSent();
    worker.Stop();

    std::printf("displays=%d  wall=%.1f s  cpu=%.1f ms  cpu/min=%.1f ms  reports=%d (%.2f/s)\n", displays,
                wallS, cpuMs, cpuMs * 60.0 / wallS, reports, reports / wallS);
}
} // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    if (seconds <= 0)
    {
        std::fprintf(stderr, "usage: worker_idle_bench [seconds per case]\n");
        return 2;
    }
    CDeviceManager devices;
    Measure(devices, 0, seconds);
    Measure(devices, 1, seconds);
    return 0;
}
