#pragma once

#include "base/UniqueHandle.h"

#include <hidapi.h>

// The list hid_enumerate hands out, freed with hid_free_enumeration when its owner goes.
using HidDeviceList = UniqueHandle<ReleasedBy<hid_device_info*, hid_free_enumeration>>;
