#pragma once

#include "base/UniqueHandle.h"

#include <dirent.h>

// A folder opened with opendir for reading its entries, closed with closedir when its owner goes.
struct DirectoryStreamTraits
{
    using Handle = DIR*;
    static Handle Invalid() noexcept { return nullptr; }
    static void Release(Handle folder) noexcept { closedir(folder); }
};

using DirectoryStream = UniqueHandle<DirectoryStreamTraits>;
