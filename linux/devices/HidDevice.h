#pragma once

#include "base/UniqueHandle.h"

#include <hidapi.h>

// One open hidapi device (a display's hidraw node), closed with hid_close when its owner goes.
struct HidDeviceTraits
{
    using Handle = hid_device*;
    static Handle Invalid() noexcept { return nullptr; }
    static void Release(Handle device) noexcept { hid_close(device); }
};

using HidDevice = UniqueHandle<HidDeviceTraits>;
