#pragma once

#include "base/UniqueHandle.h"

#include <libudev.h>

// libudev's reference-counted objects: the owner holds one reference and drops it with the
// object's own unref function when it goes.
using UdevContext = UniqueHandle<ReleasedBy<udev*, udev_unref>>;
using UdevMonitor = UniqueHandle<ReleasedBy<udev_monitor*, udev_monitor_unref>>;
using UdevDevice = UniqueHandle<ReleasedBy<udev_device*, udev_device_unref>>;
