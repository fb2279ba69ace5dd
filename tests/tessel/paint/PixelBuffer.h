#pragma once

#include "tessel/render/GdiObject.h"
#include "tessel/render/GdiplusHeaders.h"
#include "tessel/render/MRender.h"
#include "tessel/render/Manager.h"
#include "tessel/render/CString.h"

#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <string>

// A client-sized 32-bit bottom-up buffer selected into a memory DC, as the paint pipeline uses.
class PixelBuffer
{
public:
    PixelBuffer(int width, int height) : m_width(width), m_height(height)
    {
        HDC screen = ::GetDC(nullptr);
        m_dc = ::CreateCompatibleDC(screen);
        void* bits = nullptr;
        m_bitmap = Tessel::MRender::CreateARGB32Bitmap(screen, width, height, &bits);
        ::ReleaseDC(nullptr, screen);
        m_bits = static_cast<DWORD*>(bits);
        m_old = ::SelectObject(m_dc, m_bitmap.get());
    }
    ~PixelBuffer()
    {
        ::SelectObject(m_dc, m_old);
        ::DeleteDC(m_dc);
    }
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    HDC dc() const { return m_dc; }
    DWORD* bits() const { return m_bits; }
    // 0xAARRGGBB at client coordinates.
    DWORD At(int x, int y) const { return m_bits[static_cast<size_t>(m_height - 1 - y) * m_width + x]; }

    // Saves the buffer as a PNG into the artifacts folder; returns the path or "".
    std::wstring SaveArtifact(const wchar_t* name) const
    {
        const char* dir = std::getenv("TK_ARTIFACTS_DIR");
        if (!dir)
            return L"";
        std::wstring path(dir, dir + std::strlen(dir));
        ::CreateDirectoryW(path.c_str(), nullptr);
        path += L"\\";
        path += name;
        // Top row first: start at the last buffer row with a negative stride.
        Gdiplus::Bitmap image(m_width, m_height, -m_width * 4, PixelFormat32bppARGB,
                              reinterpret_cast<BYTE*>(m_bits + static_cast<size_t>(m_height - 1) * m_width));
        CLSID png;
        if (!PngEncoder(&png) || image.Save(path.c_str(), &png, nullptr) != Gdiplus::Ok)
            return L"";
        return path;
    }

    static bool PngEncoder(CLSID* clsid)
    {
        UINT count = 0, size = 0;
        Gdiplus::GetImageEncodersSize(&count, &size);
        if (size == 0)
            return false;
        std::string buffer(size, '\0');
        auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(&buffer[0]);
        Gdiplus::GetImageEncoders(count, size, codecs);
        for (UINT i = 0; i < count; ++i)
        {
            if (std::wstring(codecs[i].MimeType) == L"image/png")
            {
                *clsid = codecs[i].Clsid;
                return true;
            }
        }
        return false;
    }

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
    Tessel::BitmapHandle m_bitmap;
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
    CLSID png;
    if (!PixelBuffer::PngEncoder(&png))
        return false;
    const Tessel::CString path = folder + name;
    return image.Save(path.GetString(), &png, nullptr) == Gdiplus::Ok;
}
