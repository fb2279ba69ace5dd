#pragma once

#include "base/UniqueHandle.h"

#include <libudev.h>

// libudev's reference-counted objects: the owner holds one reference and drops it with the
// object's own unref function when it goes.
template <typename Object, Object* (*Unref)(Object*)> struct UdevObjectTraits
{
    using Handle = Object*;
    static Handle Invalid() noexcept { return nullptr; }
    static void Release(Handle object) noexcept { Unref(object); }
};

using UdevContext = UniqueHandle<UdevObjectTraits<udev, udev_unref>>;
using UdevMonitor = UniqueHandle<UdevObjectTraits<udev_monitor, udev_monitor_unref>>;
using UdevDevice = UniqueHandle<UdevObjectTraits<udev_device, udev_device_unref>>;
