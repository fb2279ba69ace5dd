#pragma once

#include "tessel/render/CString.h"
#include "tessel/render/GdiObject.h"
#include "tessel/render/GdiplusHeaders.h"
#include "tessel/render/MRender.h"
#include "tessel/render/Manager.h"
#include "tessel/render/SelectedObject.h"
#include "tessel/render/WindowDC.h"
#include "tests/support/PngFile.h"
#include "tests/support/ScreenSnapshot.h"

#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

// A client-sized 32-bit bottom-up buffer selected into a memory DC, as the paint pipeline uses.
class PixelBuffer
{
public:
    PixelBuffer(int width, int height) : m_width(width), m_height(height)
    {
        Tessel::WindowDC screen(nullptr);
        m_dc.reset(::CreateCompatibleDC(screen.get()));
        void* bits = nullptr;
        m_bitmap = Tessel::MRender::CreateARGB32Bitmap(screen.get(), width, height, &bits);
        m_bits = static_cast<DWORD*>(bits);
        m_selected = std::make_unique<Tessel::SelectedObject>(m_dc.get(), m_bitmap.get());
    }
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    HDC dc() const { return m_dc.get(); }
    DWORD* bits() const { return m_bits; }
    // 0xAARRGGBB at client coordinates.
    DWORD At(int x, int y) const { return m_bits[static_cast<size_t>(m_height - 1 - y) * m_width + x]; }

    // Saves the buffer as a PNG into the artifacts folder; returns the path or "".
    std::wstring SaveArtifact(const wchar_t* name) const
    {
        const std::wstring path = ArtifactsFolder() + name;
        // Top row first: start at the last buffer row with a negative stride.
        Gdiplus::Bitmap image(m_width, m_height, -m_width * 4, PixelFormat32bppARGB,
                              reinterpret_cast<BYTE*>(m_bits + static_cast<size_t>(m_height - 1) * m_width));
        return SavePng(image, path) ? path : L"";
    }

private:
    int m_width;
    int m_height;
    Tessel::MemoryDC m_dc;
    Tessel::BitmapHandle m_bitmap;
    // Declared after both: the bitmap is deselected before the bitmap and the DC go.
    std::unique_ptr<Tessel::SelectedObject> m_selected;
    DWORD* m_bits = nullptr;
};

// Writes a PNG of width x height whose pixel (x, y) is color(x, y) (ARGB) into the skin folder.
template <typename ColorFn> bool WriteSkinPng(const wchar_t* name, int width, int height, ColorFn color)
{
    Gdiplus::Bitmap image(width, height, PixelFormat32bppARGB);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixel(x, y, Gdiplus::Color(color(x, y)));
    const Tessel::CString folder = Tessel::Manager::GetSkinFolder();
    ::SHCreateDirectoryExW(nullptr, folder.GetString(), nullptr);
    return SavePng(image, (folder + name).GetString());
}
