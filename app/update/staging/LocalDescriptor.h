#pragma once

#include "base/UniqueHandle.h"

#include <windows.h>

// A security descriptor the system allocated for us (GetSecurityInfo, the SDDL conversion), freed
// with LocalFree when its owner goes.
struct LocalDescriptorTraits
{
    using Handle = PSECURITY_DESCRIPTOR;
    static Handle Invalid() noexcept { return nullptr; }
    static void Release(Handle descriptor) noexcept { LocalFree(descriptor); }
};

using LocalDescriptor = UniqueHandle<LocalDescriptorTraits>;
