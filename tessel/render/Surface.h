#pragma once

#include "tessel/TesselApi.h"
#include "tessel/render/GdiObject.h"

#include <windows.h>

namespace Tessel
{

// An off-screen drawing surface: a memory DC with a 32-bit top-row-last DIB section selected
// into it. The bitmap is deselected before it is deleted.
class TESSEL_API Surface
{
public:
    Surface() noexcept = default;
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // (Re)creates the surface compatible with reference when its size differs or it does not
    // exist yet; returns true when it was (re)created, false when kept or on failure.
    bool Resize(HDC reference, int width, int height);
    void Reset() noexcept;

    bool IsValid() const noexcept { return static_cast<bool>(m_dc); }
    // The DC stays owned by the surface.
    HDC GetDC() const noexcept { return m_dc.get(); }
    HBITMAP GetBitmap() const noexcept { return m_bitmap.get(); }
    int Width() const noexcept { return m_width; }
    int Height() const noexcept { return m_height; }
    // Pixels as 0xAARRGGBB, bottom-up rows (row 0 of the buffer is the last row of the image).
    DWORD* Bits() const noexcept { return m_bits; }
    // Pixel at top-down coordinates; 0 outside.
    DWORD PixelAt(int x, int y) const noexcept;

private:
    MemoryDC m_dc;
    BitmapHandle m_bitmap;
    HGDIOBJ m_previous = nullptr;
    DWORD* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
};

} // namespace Tessel
