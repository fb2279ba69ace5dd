#include "app/device/HidDevice.h"

#include <hidapi.h>

void HidDeviceTraits::Release(Handle device) noexcept
{
    hid_close(device);
}
