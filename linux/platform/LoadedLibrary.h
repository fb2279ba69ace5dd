#pragma once

#include "base/UniqueHandle.h"

#include <dlfcn.h>

// A shared library opened with dlopen, closed with dlclose when its owner goes. Libraries that
// may be absent (NVML, libsystemd) are loaded at run time, so the programs start without them.
using LoadedLibrary = UniqueHandle<ReleasedBy<void*, dlclose>>;
