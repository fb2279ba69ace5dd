#pragma once

#include "tessel/TesselApi.h"
#include "tessel/render/GdiplusHeaders.h"
#include "tessel/render/Surface.h"

#include <memory>

namespace Tessel
{

// GDI+ drawing straight into a Surface's pixels as premultiplied ARGB, so per-pixel alpha of
// images and of the window pixels beneath survives (a Graphics on the DC would drop it).
class TESSEL_API SurfaceCanvas
{
public:
    explicit SurfaceCanvas(const Surface& surface);
    SurfaceCanvas(const SurfaceCanvas&) = delete;
    SurfaceCanvas& operator=(const SurfaceCanvas&) = delete;

    bool IsValid() const noexcept { return m_graphics != nullptr; }
    Gdiplus::Graphics& Graphics() noexcept { return *m_graphics; }
    // Sets every pixel of the rectangle to the colour, alpha included (no blending).
    void Fill(int x, int y, int width, int height, Gdiplus::ARGB color);

private:
    std::unique_ptr<Gdiplus::Bitmap> m_bitmap;
    std::unique_ptr<Gdiplus::Graphics> m_graphics;
};

} // namespace Tessel
