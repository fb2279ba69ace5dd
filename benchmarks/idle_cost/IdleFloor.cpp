// The least a display feeder can do on Windows: open the first display's vendor collection once,
// then send one 65-byte temperature report a second and sleep. The program's idle cost is
// measured against this (run_idle_bench.sh). Runs until it is ended.
//
// It also holds the program's single-instance mutex, for no other reason than that the stand-in sensor
// server serves only while that mutex exists: the benchmark runs a server beside the floor as beside the
// program, so that both Wine prefixes' wineservers serve the same neighbours.
#include <hidapi.h>

#include <windows.h>

#include <cstdio>

int main()
{
    const HANDLE programMutex = CreateMutexW(nullptr, FALSE, L"Tarvik Kelvane");
    if (programMutex == nullptr)
    {
        std::fprintf(stderr, "idle_floor: no mutex (error %lu)\n", GetLastError());
        return 1;
    }
    if (hid_init() != 0)
    {
        std::fprintf(stderr, "idle_floor: hid_init failed\n");
        return 1;
    }
    hid_device_info* all = hid_enumerate(0x1A2C, 0x434D);
    hid_device* device = nullptr;
    for (const hid_device_info* info = all; info && !device; info = info->next)
    {
        if (info->usage_page == 0xFF01 && info->usage == 1)
        {
            device = hid_open_path(info->path);
        }
    }
    hid_free_enumeration(all);
    if (!device)
    {
        std::fprintf(stderr, "idle_floor: no display\n");
        return 1;
    }
    unsigned char report[65] = {0x07, 0xFF, 0xFF, 0, 4, 5};
    for (;;)
    {
        hid_send_feature_report(device, report, sizeof report);
        Sleep(1000);
    }
}
