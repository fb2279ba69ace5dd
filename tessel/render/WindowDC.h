#pragma once

#include <windows.h>

namespace Tessel
{

// A DC borrowed with GetDC from a window (or the screen, for a null window) and given back with
// ReleaseDC, which needs the same window; DCs made by CreateCompatibleDC are a MemoryDC instead.
class WindowDC
{
public:
    WindowDC() noexcept = default;
    explicit WindowDC(HWND hwnd) noexcept : m_hwnd(hwnd), m_dc(::GetDC(hwnd)) {}
    ~WindowDC() { reset(); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    WindowDC(WindowDC&& other) noexcept : m_hwnd(other.m_hwnd), m_dc(other.m_dc) { other.m_dc = nullptr; }
    WindowDC& operator=(WindowDC&& other) noexcept
    {
        if (this != &other)
        {
            reset();
            m_hwnd = other.m_hwnd;
            m_dc = other.m_dc;
            other.m_dc = nullptr;
        }
        return *this;
    }

    HDC get() const noexcept { return m_dc; }
    explicit operator bool() const noexcept { return m_dc != nullptr; }
    // Gives the DC back now.
    void reset() noexcept
    {
        if (m_dc)
            ::ReleaseDC(m_hwnd, m_dc);
        m_dc = nullptr;
    }

private:
    HWND m_hwnd = nullptr;
    HDC m_dc = nullptr;
};

} // namespace Tessel
