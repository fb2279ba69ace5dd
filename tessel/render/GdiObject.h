#pragma once

#include "base/UniqueHandle.h"

#include <windows.h>

namespace Tessel
{

// Owners of the GDI handles the framework makes; each is a UniqueHandle (base/UniqueHandle.h).
template <typename Object> struct GdiObjectTraits
{
    using Handle = Object;
    static Handle Invalid() noexcept { return nullptr; }
    static void Release(Handle object) noexcept { ::DeleteObject(object); }
};

struct MemoryDcTraits
{
    using Handle = HDC;
    static Handle Invalid() noexcept { return nullptr; }
    static void Release(Handle dc) noexcept { ::DeleteDC(dc); }
};

struct IconTraits
{
    using Handle = HICON;
    static Handle Invalid() noexcept { return nullptr; }
    static void Release(Handle icon) noexcept { ::DestroyIcon(icon); }
};

// One GDI object (bitmap, font, brush, pen, region).
template <typename Object> using GdiObject = UniqueHandle<GdiObjectTraits<Object>>;
using BitmapHandle = GdiObject<HBITMAP>;
using FontHandle = GdiObject<HFONT>;
using BrushHandle = GdiObject<HBRUSH>;

// A DC made by CreateCompatibleDC (DeleteDC); a DC borrowed from a window is a WindowDC.
using MemoryDC = UniqueHandle<MemoryDcTraits>;

// An icon or cursor made by CreateIcon/ExtractIcon/LoadImage (not shared ones).
using IconHandle = UniqueHandle<IconTraits>;

} // namespace Tessel
