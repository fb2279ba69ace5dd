// The running program's cost and start-up latency, measured from outside the way a user's
// task manager would: CPU time and peak working set of "Tarvik Kelvane.exe" over its first
// 60 s with one simulated display and with none, and the time from process start to the first
// report a display receives.
#include "tests/app/ui/LocalUpdateServer.h"
#include "tests/app/ui/ProgramUnderTest.h"
#include "ProgramVersion.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <map>
#include <memory>
#include <cstdio>
#include <vector>

namespace
{
double Seconds(const FILETIME& time)
{
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 1e7;
}

struct Latency
{
    long long firstScan = -1;   // the first display opened by the start-up scan
    long long firstReport = -1; // the first temperature report received
};

Latency StartUpLatency(ProgramUnderTest& program)
{
    Latency latency;
    const auto reports = program.WaitForReports(1);
    if (reports.empty())
        return latency;
    const long long start = UtcMilliseconds(program.StartedUtc());
    latency.firstReport = UtcMilliseconds(reports.front().utc) - start;
    for (const SimLogEntry& entry : program.Log())
        if (entry.kind == "open")
        {
            latency.firstScan = UtcMilliseconds(entry.utc) - start;
            break;
        }
    return latency;
}

void MeasureMinute(int displays)
{
    ProgramOptions options;
    options.displays = displays;
    ProgramUnderTest program(options);
    const DWORD start = GetTickCount();
    if (!program.WaitForWindow())
    {
        std::printf("displays=%d: no window\n", displays);
        return;
    }
    while (GetTickCount() - start < 60000)
        Sleep(250);
    FILETIME created, exited, kernel, user;
    GetProcessTimes(program.Process(), &created, &exited, &kernel, &user);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    K32GetProcessMemoryInfo(program.Process(), &memory, sizeof memory);
    std::printf(
        "displays=%d  60 s: CPU %.2f s (user %.2f, kernel %.2f) = %.2f %% of one core; peak working set "
        "%.1f MiB; reports %zu\n",
        displays, Seconds(user) + Seconds(kernel), Seconds(user), Seconds(kernel),
        (Seconds(user) + Seconds(kernel)) / 60.0 * 100.0,
        static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0),
        TemperatureReports(program.Log()).size());
}
} // namespace

int main()
{
    // The start-up software check runs before the first scan, so the update server's answer is
    // part of the latency: measured with a local server that answers and with none listening.
    for (bool serverUp : {true, false})
    {
        std::vector<long long> reports;
        for (int run = 0; run < 5; ++run)
        {
            std::unique_ptr<LocalUpdateServer> server;
            if (serverUp)
                server = std::make_unique<LocalUpdateServer>(std::map<std::string, std::string>{
                    {"/q17x/software/version", TK_VERSION_TEXT}, {"/q17x/firmware/version", "103"}});
            ProgramUnderTest program(ProgramOptions{});
            const Latency latency = StartUpLatency(program);
            std::printf(
                "update server %s, run %d: process start to first scan %lld ms, to first report %lld ms\n",
                serverUp ? "answering" : "absent", run + 1, latency.firstScan, latency.firstReport);
            reports.push_back(latency.firstReport);
        }
        std::sort(reports.begin(), reports.end());
        std::printf("update server %s: process start to first report, median %lld ms\n",
                    serverUp ? "answering" : "absent", reports[reports.size() / 2]);
    }
    MeasureMinute(1);
    MeasureMinute(0);
    return 0;
}
