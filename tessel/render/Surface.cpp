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
    HDC dc = ::CreateCompatibleDC(reference);
    if (!dc)
        return false;
    void* bits = nullptr;
    BitmapHandle bitmap = MRender::CreateARGB32Bitmap(reference, width, height, &bits);
    if (!bitmap)
    {
        ::DeleteDC(dc);
        return false;
    }
    m_dc = dc;
    m_bitmap = std::move(bitmap);
    m_previous = ::SelectObject(m_dc, m_bitmap.get());
    m_bits = static_cast<DWORD*>(bits);
    m_width = width;
    m_height = height;
    return true;
}

void Surface::Reset() noexcept
{
    if (m_dc)
    {
        ::SelectObject(m_dc, m_previous);
        ::DeleteDC(m_dc);
    }
    m_dc = nullptr;
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
