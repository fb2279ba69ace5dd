#pragma once

#include "base/UniqueHandle.h"

#include <dlfcn.h>

// A shared library opened with dlopen, closed with dlclose when its owner goes. Libraries that
// may be absent (NVML, libsystemd) are loaded at run time, so the programs start without them.
struct LoadedLibraryTraits
{
    using Handle = void*;
    static Handle Invalid() noexcept { return nullptr; }
    static void Release(Handle library) noexcept { dlclose(library); }
};

using LoadedLibrary = UniqueHandle<LoadedLibraryTraits>;
