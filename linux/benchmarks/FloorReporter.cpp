// The least a display feeder can do: open the first display once, then send one 65-byte report
// a second and sleep. The daemon's idle cost is compared with this.
#include "app/device/DisplayIdentity.h"

#include <hidapi.h>

#include <chrono>
#include <cstdio>
#include <thread>

int main()
{
    if (hid_init() != 0)
    {
        return 1;
    }
    hid_device_info* all = hid_enumerate(kDisplayVendorId, kDisplayProductId);
    hid_device* device = nullptr;
    for (const hid_device_info* info = all; info && !device; info = info->next)
    {
        if (info->usage_page == kDisplayUsagePage && info->usage == kDisplayUsage)
        {
            device = hid_open_path(info->path);
        }
    }
    hid_free_enumeration(all);
    if (!device)
    {
        std::fprintf(stderr, "floor_reporter: no display\n");
        return 1;
    }
    unsigned char report[65] = {kDisplayReportId, 0xFF, 0xFF, 0, 4, 5};
    for (;;)
    {
        hid_send_feature_report(device, report, sizeof report);
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
}
