#include "app/device/DisplayInterfaceCheck.h"

#include "app/device/DisplayIdentity.h"
#include "app/platform/KernelHandle.h"

#include <windows.h>

// These headers declare the HID functions without C linkage of their own.
extern "C"
{
#include <hidsdi.h>
#include <hidpi.h>
}

bool CheckDisplayInterface(const wchar_t* path)
{
    if (path == nullptr)
    {
        return false;
    }
    KernelHandle device(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    if (!device)
    {
        return false;
    }
    HIDD_ATTRIBUTES attributes = {};
    attributes.Size = sizeof(attributes);
    HidD_GetAttributes(device.get(), &attributes);

    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (!HidD_GetPreparsedData(device.get(), &preparsed))
    {
        return false;
    }
    HIDP_CAPS caps = {};
    const bool isDisplay = HidP_GetCaps(preparsed, &caps) == HIDP_STATUS_SUCCESS &&
                           caps.UsagePage == kDisplayUsagePage && caps.Usage == kDisplayUsage;
    HidD_FreePreparsedData(preparsed);
    return isDisplay;
}
