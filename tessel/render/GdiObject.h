#pragma once

#include <windows.h>

namespace Tessel
{

// Sole owner of one handle, which Free releases on destruction.
// No conversion operator: the handle is reached through get().
template <typename Handle, typename Free> class UniqueHandle
{
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : m_handle(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    Handle get() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return m_handle != nullptr; }
    Handle release() noexcept
    {
        Handle h = m_handle;
        m_handle = nullptr;
        return h;
    }
    void reset(Handle handle = nullptr) noexcept
    {
        if (m_handle)
            Free{}(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle = nullptr;
};

struct DeleteGdiObject
{
    void operator()(HGDIOBJ object) const noexcept { ::DeleteObject(object); }
};

struct DestroyIconObject
{
    void operator()(HICON icon) const noexcept { ::DestroyIcon(icon); }
};

struct DeleteMemoryDc
{
    void operator()(HDC dc) const noexcept { ::DeleteDC(dc); }
};

// One GDI object (bitmap, font, brush, pen, region).
template <typename Handle> using GdiObject = UniqueHandle<Handle, DeleteGdiObject>;
using BitmapHandle = GdiObject<HBITMAP>;
using FontHandle = GdiObject<HFONT>;
using BrushHandle = GdiObject<HBRUSH>;

// A DC made by CreateCompatibleDC (DeleteDC); a DC borrowed from a window is a WindowDC.
using MemoryDC = UniqueHandle<HDC, DeleteMemoryDc>;

// An icon or cursor made by CreateIcon/ExtractIcon/LoadImage (not shared ones).
using IconHandle = UniqueHandle<HICON, DestroyIconObject>;

} // namespace Tessel
