#include "tessel/render/Surface.h"

#include "tessel/render/MRender.h"

namespace Tessel
{

Surface::~Surface()
{
    Reset();
}

bool Surface::Resize(HDC reference, int width, int height)
{
    if (m_dc && width == m_width && height == m_height)
        return false;
    Reset();
    if (width <= 0 || height <= 0)
        return false;
    MemoryDC dc(::CreateCompatibleDC(reference));
    if (!dc)
        return false;
    void* bits = nullptr;
    BitmapHandle bitmap = MRender::CreateARGB32Bitmap(reference, width, height, &bits);
    if (!bitmap)
        return false;
    m_dc = std::move(dc);
    m_bitmap = std::move(bitmap);
    m_previous = ::SelectObject(m_dc.get(), m_bitmap.get());
    m_bits = static_cast<DWORD*>(bits);
    m_width = width;
    m_height = height;
    return true;
}

void Surface::Reset() noexcept
{
    // The bitmap is deselected before the DC and then the bitmap go.
    if (m_dc)
        ::SelectObject(m_dc.get(), m_previous);
    m_dc.reset();
    m_previous = nullptr;
    m_bitmap.reset();
    m_bits = nullptr;
    m_width = 0;
    m_height = 0;
}

DWORD Surface::PixelAt(int x, int y) const noexcept
{
    if (!m_bits || x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    ::GdiFlush();
    return m_bits[(m_height - 1 - y) * m_width + x];
}

} // namespace Tessel
