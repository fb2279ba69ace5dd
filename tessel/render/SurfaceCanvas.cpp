#include "tessel/render/SurfaceCanvas.h"

namespace Tessel
{

SurfaceCanvas::SurfaceCanvas(const Surface& surface)
{
    if (!surface.IsValid() || !surface.Bits() || surface.Width() <= 0 || surface.Height() <= 0)
        return;
    const int w = surface.Width();
    const int h = surface.Height();
    // The DIB is bottom-up: start at its last memory row and walk upwards.
    BYTE* top = reinterpret_cast<BYTE*>(surface.Bits() + static_cast<size_t>(h - 1) * w);
    m_bitmap = std::make_unique<Gdiplus::Bitmap>(w, h, -w * 4, PixelFormat32bppPARGB, top);
    if (m_bitmap->GetLastStatus() != Gdiplus::Ok)
    {
        m_bitmap.reset();
        return;
    }
    m_graphics = std::make_unique<Gdiplus::Graphics>(m_bitmap.get());
    if (m_graphics->GetLastStatus() != Gdiplus::Ok)
        m_graphics.reset();
}

void SurfaceCanvas::Fill(int x, int y, int width, int height, Gdiplus::ARGB color)
{
    if (!m_graphics)
        return;
    const Gdiplus::CompositingMode old = m_graphics->GetCompositingMode();
    m_graphics->SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
    m_graphics->FillRectangle(&brush, x, y, width, height);
    m_graphics->SetCompositingMode(old);
}

} // namespace Tessel
