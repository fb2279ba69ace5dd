#include "tests/app/ui/messagebox/ScreenPixels.h"

#include "tests/support/PngFile.h"

#include <objidl.h>

#include <gdiplus.h>

#include <algorithm>
#include <cwchar>
#include <memory>

ScreenPixels::ScreenPixels(const RECT& screenRect)
    : m_width(screenRect.right - screenRect.left), m_height(screenRect.bottom - screenRect.top)
{
    if (m_width <= 0 || m_height <= 0)
        return;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && memory)
    {
        HGDIOBJ old = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, m_width, m_height, screen, screenRect.left, screenRect.top, SRCCOPY))
        {
            GdiFlush();
            const auto* source = static_cast<const std::uint32_t*>(bits);
            m_pixels.assign(source, source + static_cast<size_t>(m_width) * m_height);
        }
        SelectObject(memory, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

std::uint32_t ScreenPixels::Rgb(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || m_pixels.empty())
        return 0;
    return m_pixels[static_cast<size_t>(y) * m_width + x] & 0x00FFFFFF;
}

int ScreenPixels::MinChannel(int x, int y) const
{
    const std::uint32_t rgb = Rgb(x, y);
    return std::min({static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                     static_cast<int>((rgb >> 16) & 0xFF)});
}

bool ScreenPixels::SavePng(const std::wstring& path) const
{
    if (m_pixels.empty())
        return false;
    std::vector<std::uint32_t> opaque(m_pixels);
    for (auto& pixel : opaque)
        pixel |= 0xFF000000;
    Gdiplus::Bitmap bitmap(m_width, m_height, m_width * 4, PixelFormat32bppARGB,
                           reinterpret_cast<BYTE*>(opaque.data()));
    return ::SavePng(bitmap, path);
}
