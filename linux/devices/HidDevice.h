#pragma once

#include "base/UniqueHandle.h"

#include <hidapi.h>

// One open hidapi device (a display's hidraw node), closed with hid_close when its owner goes.
using HidDevice = UniqueHandle<ReleasedBy<hid_device*, hid_close>>;
