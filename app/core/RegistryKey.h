#pragma once

#include "base/UniqueHandle.h"

#include <windows.h>

// An open registry key, closed when its owner goes; put() serves the Reg*Ex calls that hand back
// a new key.
using RegistryKey = UniqueHandle<ReleasedBy<HKEY, RegCloseKey>>;
