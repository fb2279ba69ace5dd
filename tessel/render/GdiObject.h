#pragma once

#include <windows.h>

namespace Tessel
{

// Sole owner of one GDI object (bitmap, font, brush, pen, region); deletes it on destruction.
// No conversion operator: the handle is reached through get().
template <typename Handle> class GdiObject
{
public:
    GdiObject() noexcept = default;
    explicit GdiObject(Handle handle) noexcept : m_handle(handle) {}
    ~GdiObject() { reset(); }

    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : m_handle(other.release()) {}
    GdiObject& operator=(GdiObject&& other) noexcept
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
            ::DeleteObject(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle = nullptr;
};

using BitmapHandle = GdiObject<HBITMAP>;
using FontHandle = GdiObject<HFONT>;
using BrushHandle = GdiObject<HBRUSH>;

// Sole owner of an icon or cursor made by CreateIcon/ExtractIcon/LoadImage (not shared ones).
class IconHandle
{
public:
    IconHandle() noexcept = default;
    explicit IconHandle(HICON icon) noexcept : m_icon(icon) {}
    ~IconHandle() { reset(); }

    IconHandle(const IconHandle&) = delete;
    IconHandle& operator=(const IconHandle&) = delete;
    IconHandle(IconHandle&& other) noexcept : m_icon(other.release()) {}
    IconHandle& operator=(IconHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    HICON get() const noexcept { return m_icon; }
    explicit operator bool() const noexcept { return m_icon != nullptr; }
    HICON release() noexcept
    {
        HICON h = m_icon;
        m_icon = nullptr;
        return h;
    }
    void reset(HICON icon = nullptr) noexcept
    {
        if (m_icon)
            ::DestroyIcon(m_icon);
        m_icon = icon;
    }

private:
    HICON m_icon = nullptr;
};

} // namespace Tessel
