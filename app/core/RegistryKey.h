#pragma once

#include "base/UniqueHandle.h"

#include <windows.h>

// An open registry key, closed when its owner goes; put() serves the Reg*Ex calls that hand back
// a new key.
struct RegistryKeyTraits
{
    using Handle = HKEY;
    static Handle Invalid() noexcept { return nullptr; }
    static void Release(Handle key) noexcept { RegCloseKey(key); }
};

using RegistryKey = UniqueHandle<RegistryKeyTraits>;
