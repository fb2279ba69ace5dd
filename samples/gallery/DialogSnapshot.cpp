#include "samples/gallery/DialogSnapshot.h"

#include "tessel/render/GdiObject.h"
#include "tessel/render/MRender.h"
#include "tessel/window/MDialog.h"
#include "tessel/window/MShadow.h"
#include "tessel/window/ShadowMaths.h"

#include <algorithm>
#include <vector>

using namespace Tessel;

namespace
{

// Memory DC holding a bitmap for one scope.
class SnapshotDC
{
public:
    SnapshotDC(HDC reference, HBITMAP bitmap) : m_dc(::CreateCompatibleDC(reference))
    {
        if (m_dc)
            m_previous = ::SelectObject(m_dc, bitmap);
    }
    ~SnapshotDC()
    {
        if (m_dc && m_previous)
            ::SelectObject(m_dc, m_previous);
        if (m_dc)
            ::DeleteDC(m_dc);
    }
    SnapshotDC(const SnapshotDC&) = delete;
    SnapshotDC& operator=(const SnapshotDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
    HGDIOBJ m_previous = nullptr;
};

// Screen DC for one scope.
class ScreenDC
{
public:
    ScreenDC() : m_dc(::GetDC(nullptr)) {}
    ~ScreenDC()
    {
        if (m_dc)
            ::ReleaseDC(nullptr, m_dc);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
};

// Top-down premultiplied ARGB pixels.
struct Image
{
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;
};

Gdiplus::ARGB Opaque(COLORREF c)
{
    return 0xFE000000u | (static_cast<Gdiplus::ARGB>(GetRValue(c)) << 16) |
           (static_cast<Gdiplus::ARGB>(GetGValue(c)) << 8) | GetBValue(c);
}

// The dialog's client area as its paint manager composes it: background, areas, controls.
Image RenderClient(MDialog& dialog)
{
    Image out;
    PaintManager& pm = dialog.GetPaintManager();
    CRect client;
    pm.GetClientRect(client);
    const int w = client.Width(), h = client.Height();
    if (w <= 0 || h <= 0)
        return out;
    ScreenDC screen;
    void* bits = nullptr;
    BitmapHandle bitmap = MRender::CreateARGB32Bitmap(screen.Get(), w, h, &bits);
    if (!bitmap || !bits)
        return out;
    auto* pixels = static_cast<DWORD*>(bits);
    {
        SnapshotDC dc(screen.Get(), bitmap.get());
        {
            Gdiplus::Bitmap view(w, h, -w * 4, PixelFormat32bppPARGB,
                                 reinterpret_cast<BYTE*>(pixels + static_cast<size_t>(h - 1) * w));
            Gdiplus::Graphics g(&view);
            if (pm.HasBackImage())
            {
                pm.DrawBackImage(g, client);
            }
            else
            {
                Gdiplus::SolidBrush frame{Gdiplus::Color(Opaque(pm.GetFrameColor()))};
                Gdiplus::SolidBrush inner{Gdiplus::Color(Opaque(pm.GetBackColor()))};
                g.FillRectangle(&frame, 0, 0, w, h);
                g.FillRectangle(&inner, 1, 1, w - 2, h - 2);
            }
        }
        HDC memDc = dc.Get();
        pm.DrawControl(memDc, client);
        ::GdiFlush();
    }
    out.width = w;
    out.height = h;
    out.pixels.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
    {
        for (int x = 0; x < w; ++x)
        {
            DWORD p = pixels[static_cast<size_t>(h - 1 - y) * w + x];
            // GDI leaves alpha at 0 where it drew; such pixels are opaque.
            if ((p & 0xFF000000u) == 0 && (p & 0x00FFFFFFu) != 0)
                p |= 0xFF000000u;
            out.pixels[static_cast<size_t>(y) * w + x] = p;
        }
    }
    return out;
}

int SavePng(const Image& image, const CString& path)
{
    if (image.width <= 0 || image.height <= 0)
        return 0;
    ScreenDC screen;
    void* bits = nullptr;
    BitmapHandle bitmap = MRender::CreateARGB32Bitmap(screen.Get(), image.width, image.height, &bits);
    if (!bitmap || !bits)
        return 0;
    auto* pixels = static_cast<DWORD*>(bits);
    for (int y = 0; y < image.height; ++y)
        std::copy_n(&image.pixels[static_cast<size_t>(y) * image.width], image.width,
                    pixels + static_cast<size_t>(image.height - 1 - y) * image.width);
    return MRender::SaveBitmapToFile(bitmap.get(), path);
}

// Source-over of a premultiplied pixel.
DWORD Over(DWORD top, DWORD bottom)
{
    const DWORD a = top >> 24;
    DWORD out = 0;
    for (int shift = 0; shift < 32; shift += 8)
    {
        const DWORD t = (top >> shift) & 0xFF, b = (bottom >> shift) & 0xFF;
        out |= std::min<DWORD>(255, t + b * (255 - a) / 255) << shift;
    }
    return out;
}

} // namespace

int SaveDialogSnapshot(MDialog& dialog, const CString& path)
{
    return SavePng(RenderClient(dialog), path);
}

int SaveShadowPreview(MDialog& dialog, const CString& path)
{
    const Image client = RenderClient(dialog);
    MShadow* shadow = dialog.GetPaintManager().GetShadow();
    if (!shadow || client.pixels.empty())
        return 0;
    const ShadowParams& p = shadow->GetParams();
    const int margin = 40;
    Image out;
    out.width = client.width + 2 * margin;
    out.height = client.height + 2 * margin;
    out.pixels.assign(static_cast<size_t>(out.width) * out.height, 0xFFD8DDE3);

    // The dialog has no window region: its shadow follows its full rectangle.
    const int bw = client.width + 2 * p.size, bh = client.height + 2 * p.size;
    std::vector<uint32_t> bits(static_cast<size_t>(std::max(bw, 0)) * std::max(bh, 0), 0);
    std::vector<ShadowSpan> rows(client.height, ShadowSpan{0, client.width});
    MakeShadowBits(bits.data(), client.width, client.height, rows, p);
    for (int y = 0; y < bh; ++y)
    {
        for (int x = 0; x < bw; ++x)
        {
            const int ox = margin + x + p.xOffset - p.size, oy = margin + y + p.yOffset - p.size;
            if (ox < 0 || oy < 0 || ox >= out.width || oy >= out.height)
                continue;
            DWORD& dst = out.pixels[static_cast<size_t>(oy) * out.width + ox];
            dst = Over(bits[static_cast<size_t>(bh - 1 - y) * bw + x], dst);
        }
    }
    for (int y = 0; y < client.height; ++y)
    {
        for (int x = 0; x < client.width; ++x)
        {
            DWORD& dst = out.pixels[static_cast<size_t>(margin + y) * out.width + margin + x];
            dst = Over(client.pixels[static_cast<size_t>(y) * client.width + x], dst);
        }
    }
    return SavePng(out, path);
}

int SaveScreenSnapshot(const CString& path)
{
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    ScreenDC screen;
    void* bits = nullptr;
    BitmapHandle bitmap = MRender::CreateARGB32Bitmap(screen.Get(), w, h, &bits);
    if (!bitmap || !bits)
        return 0;
    {
        SnapshotDC dc(screen.Get(), bitmap.get());
        ::BitBlt(dc.Get(), 0, 0, w, h, screen.Get(), 0, 0, SRCCOPY);
        ::GdiFlush();
    }
    auto* pixels = static_cast<DWORD*>(bits);
    for (int i = 0; i < w * h; ++i)
        pixels[i] |= 0xFF000000u;
    return MRender::SaveBitmapToFile(bitmap.get(), path);
}
