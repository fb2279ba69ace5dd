#pragma once

#include "base/UniqueHandle.h"

#include <hidapi.h>

// The list hid_enumerate hands out, freed with hid_free_enumeration when its owner goes.
struct HidDeviceListTraits
{
    using Handle = hid_device_info*;
    static Handle Invalid() noexcept { return nullptr; }
    static void Release(Handle list) noexcept { hid_free_enumeration(list); }
};

using HidDeviceList = UniqueHandle<HidDeviceListTraits>;
