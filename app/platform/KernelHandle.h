#pragma once

#include "base/UniqueHandle.h"

#include <windows.h>

// A kernel object handle (event, file, thread, mutex), closed when its owner goes. Null and
// INVALID_HANDLE_VALUE both count as "no handle".
struct KernelHandleTraits
{
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return nullptr; }
    static bool IsValid(Handle handle) noexcept
    {
        return handle != nullptr && handle != INVALID_HANDLE_VALUE;
    }
    static void Release(Handle handle) noexcept { CloseHandle(handle); }
};

using KernelHandle = UniqueHandle<KernelHandleTraits>;
