#pragma once

#include <windows.h>

namespace Tessel
{

// The DC of one WM_PAINT: BeginPaint on construction, EndPaint (which validates the window) on
// destruction.
class PaintDC
{
public:
    explicit PaintDC(HWND hwnd) noexcept : m_hwnd(hwnd) { m_dc = ::BeginPaint(hwnd, &m_ps); }
    ~PaintDC() { ::EndPaint(m_hwnd, &m_ps); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;

    HDC get() const noexcept { return m_dc; }
    const PAINTSTRUCT& Info() const noexcept { return m_ps; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps{};
    HDC m_dc = nullptr;
};

} // namespace Tessel
