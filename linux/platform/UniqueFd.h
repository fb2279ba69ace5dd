#pragma once

#include "base/UniqueHandle.h"

#include <unistd.h>

// A file descriptor, closed when its owner goes. Every negative value counts as "none", so a
// failed open() or socket() can be handed over unchecked.
struct UniqueFdTraits
{
    using Handle = int;
    static Handle Invalid() noexcept { return -1; }
    static bool IsValid(Handle fd) noexcept { return fd >= 0; }
    static void Release(Handle fd) noexcept { close(fd); }
};

using UniqueFd = UniqueHandle<UniqueFdTraits>;
