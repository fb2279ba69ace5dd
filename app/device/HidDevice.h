#pragma once

#include "base/UniqueHandle.h"

struct hid_device_;
typedef struct hid_device_ hid_device;

// One open hidapi device, closed with hid_close when its owner goes.
struct HidDeviceTraits
{
    using Handle = hid_device*;
    static Handle Invalid() noexcept { return nullptr; }
    static void Release(Handle device) noexcept;
};

using HidDevice = UniqueHandle<HidDeviceTraits>;
