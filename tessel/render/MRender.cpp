#include "tessel/render/MRender.h"

#include "base/ComPtr.h"
#include "tessel/render/WindowDC.h"

#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <vector>

namespace Tessel
{

namespace
{

std::unique_ptr<Gdiplus::Image> Checked(Gdiplus::Image* image)
{
    std::unique_ptr<Gdiplus::Image> owned(image);
    if (!owned || owned->GetLastStatus() != Gdiplus::Ok || owned->GetWidth() == 0 || owned->GetHeight() == 0)
        return nullptr;
    return owned;
}

// A copy of the source rectangle with a one-pixel border repeating its edge pixels. Resampling
// filters read across the rectangle's edges; not every GDI+ keeps those reads inside the source
// rectangle, and without the border they would blend in the neighbouring piece.
std::unique_ptr<Gdiplus::Bitmap> PaddedPiece(Gdiplus::Bitmap& source, int sx, int sy, int sw, int sh)
{
    Gdiplus::BitmapData in = {};
    Gdiplus::Rect area(sx, sy, sw, sh);
    if (source.LockBits(&area, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &in) != Gdiplus::Ok)
        return nullptr;
    auto padded = std::make_unique<Gdiplus::Bitmap>(sw + 2, sh + 2, PixelFormat32bppARGB);
    Gdiplus::BitmapData out = {};
    Gdiplus::Rect all(0, 0, sw + 2, sh + 2);
    const bool ok =
        padded->GetLastStatus() == Gdiplus::Ok &&
        padded->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &out) == Gdiplus::Ok;
    if (ok)
    {
        for (int y = 0; y < sh + 2; ++y)
        {
            const int srcY = std::min(std::max(y - 1, 0), sh - 1);
            const auto* from =
                reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(in.Scan0) + srcY * in.Stride);
            auto* to = reinterpret_cast<DWORD*>(static_cast<BYTE*>(out.Scan0) + y * out.Stride);
            to[0] = from[0];
            std::memcpy(to + 1, from, sizeof(DWORD) * sw);
            to[sw + 1] = from[sw - 1];
        }
        padded->UnlockBits(&out);
    }
    source.UnlockBits(&in);
    return ok ? std::move(padded) : nullptr;
}

// Draws the padded copy's inner rectangle scaled onto dest, widened on every side by up to one
// destination pixel's worth of the border and clipped to dest. Some GDI+ implementations leave a
// destination pixel transparent when its sample point falls outside the source rectangle; with
// the bare rectangle dest's first column and row sample exactly on its edge, where float rounding
// alone decides whether they are drawn.
void DrawPadded(Gdiplus::Graphics& graphics, Gdiplus::Bitmap& padded,
                const Gdiplus::ImageAttributes& attributes, const CRect& dest, int sw, int sh)
{
    const Gdiplus::REAL w = static_cast<Gdiplus::REAL>(dest.Width());
    const Gdiplus::REAL h = static_cast<Gdiplus::REAL>(dest.Height());
    // Widening in destination pixels, and the border share it takes.
    const Gdiplus::REAL padX = std::min<Gdiplus::REAL>(1, w / sw), padY = std::min<Gdiplus::REAL>(1, h / sh);
    const Gdiplus::REAL borderX = padX * sw / w, borderY = padY * sh / h;
    const Gdiplus::RectF widened(dest.left - padX, dest.top - padY, w + 2 * padX, h + 2 * padY);
    const Gdiplus::GraphicsState state = graphics.Save();
    graphics.IntersectClip(Gdiplus::Rect(dest.left, dest.top, dest.Width(), dest.Height()));
    graphics.DrawImage(&padded, widened, 1 - borderX, 1 - borderY, sw + 2 * borderX, sh + 2 * borderY,
                       Gdiplus::UnitPixel, &attributes);
    graphics.Restore(state);
}

// Scaled pieces go through a padded copy; pieces drawn at their own size, and images that are not
// bitmaps, are drawn straight from the image.
void DrawScaled(Gdiplus::Graphics& graphics, Gdiplus::Image* image,
                const Gdiplus::ImageAttributes& attributes, const CRect& dest, int sx, int sy, int sw, int sh)
{
    const int w = dest.Width(), h = dest.Height();
    const bool stretched = w != sw || h != sh;
    if (stretched && sw > 0 && sh > 0 && w > 0 && h > 0 && image->GetType() == Gdiplus::ImageTypeBitmap)
    {
        // Images decoded from files, streams and memory are bitmaps; the wrapper adds no data.
        if (auto piece = PaddedPiece(*static_cast<Gdiplus::Bitmap*>(image), sx, sy, sw, sh))
        {
            DrawPadded(graphics, *piece, attributes, dest, sw, sh);
            return;
        }
    }
    graphics.DrawImage(image, Gdiplus::Rect(dest.left, dest.top, w, h), sx, sy, sw, sh, Gdiplus::UnitPixel,
                       &attributes);
}

BYTE RampAlpha(double value)
{
    // Truncated, then modulo 256 as the byte a blend takes.
    return static_cast<BYTE>(static_cast<int>(value) & 0xFF);
}

bool BlendStrip(HDC dst, int dx, int dy, int dw, int dh, HDC src, int sx, int sy, int sw, int sh, BYTE alpha)
{
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, alpha, 0};
    return ::AlphaBlend(dst, dx, dy, dw, dh, src, sx, sy, sw, sh, blend) != FALSE;
}

// Blends src onto dst one row (vertical) or one column at a time, the alpha ramping between the
// two percentages; returns the last alpha used, 255 for an empty rectangle.
int DrawTransitionRamp(HDC dst, HDC src, CRect dstRect, CRect srcRect, int p1, int p2, bool vertical)
{
    const int n = vertical ? dstRect.Height() : dstRect.Width();
    if (n <= 0)
        return 255;
    const double hi = static_cast<int>(255 - std::min(p1, p2) * 255 / 100.0);
    const double lo = static_cast<int>((100 - std::max(p1, p2)) * 255 / 100.0);
    const double step = (hi - lo) / n;
    BYTE alpha = 255;
    for (int i = 0; i < n; ++i)
    {
        alpha = RampAlpha(p1 < p2 ? hi - i * step : lo + i * step);
        if (vertical)
            BlendStrip(dst, dstRect.left, dstRect.top + i, dstRect.Width(), 1, src, srcRect.left,
                       srcRect.top + i, srcRect.Width(), 1, alpha);
        else
            BlendStrip(dst, dstRect.left + i, dstRect.top, 1, dstRect.Height(), src, srcRect.left + i,
                       srcRect.top, 1, srcRect.Height(), alpha);
    }
    return alpha;
}

bool EndsWithNoCase(const CString& text, const wchar_t* suffix)
{
    const int n = static_cast<int>(std::wcslen(suffix));
    return text.GetLength() >= n && text.Right(n).CompareNoCase(suffix) == 0;
}

bool FindEncoder(const wchar_t* mimeType, CLSID* clsid)
{
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i)
    {
        if (std::wcscmp(codecs[i].MimeType, mimeType) == 0)
        {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

// The bitmap's pixels as 32-bit top-down rows.
bool ReadPixels(HBITMAP bitmap, int& width, int& height, std::vector<DWORD>& pixels)
{
    BITMAP info = {};
    if (!::GetObjectW(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight == 0)
        return false;
    width = info.bmWidth;
    height = std::abs(info.bmHeight);
    pixels.assign(static_cast<size_t>(width) * height, 0);
    ::GdiFlush();
    DIBSECTION dib = {};
    if (::GetObjectW(bitmap, sizeof(dib), &dib) == sizeof(dib) && dib.dsBm.bmBits &&
        dib.dsBm.bmBitsPixel == 32)
    {
        const bool bottomUp = dib.dsBmih.biHeight > 0;
        const auto* bits = static_cast<const DWORD*>(dib.dsBm.bmBits);
        for (int y = 0; y < height; ++y)
        {
            const int row = bottomUp ? height - 1 - y : y;
            std::memcpy(&pixels[static_cast<size_t>(y) * width], bits + static_cast<size_t>(row) * width,
                        sizeof(DWORD) * width);
        }
        return true;
    }
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    WindowDC screen(nullptr);
    const int rows = ::GetDIBits(screen.get(), bitmap, 0, height, pixels.data(), &bmi, DIB_RGB_COLORS);
    return rows == height;
}

bool WriteBmp(const CString& path, int width, int height, const std::vector<DWORD>& pixels)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = -height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    const DWORD dataSize = static_cast<DWORD>(pixels.size() * sizeof(DWORD));
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + dataSize;
    HANDLE handle = ::CreateFileW(path.GetString(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = ::WriteFile(handle, &file, sizeof(file), &written, nullptr) && written == sizeof(file);
    ok = ok && ::WriteFile(handle, &header, sizeof(header), &written, nullptr) && written == sizeof(header);
    ok = ok && ::WriteFile(handle, pixels.data(), dataSize, &written, nullptr) && written == dataSize;
    ::CloseHandle(handle);
    return ok;
}

} // namespace

// --- Loading

std::unique_ptr<Gdiplus::Image> MRender::LoadImageFromFile(CString path)
{
    if (path.IsEmpty())
        return nullptr;
    return Checked(Gdiplus::Image::FromFile(path.GetString()));
}

std::unique_ptr<Gdiplus::Image> MRender::LoadImageFromFileEx(CString path, int width, int height)
{
    std::unique_ptr<Gdiplus::Image> full = LoadImageFromFile(path);
    if (!full)
        return nullptr;
    if (width == 0 && height == 0)
    {
        width = static_cast<int>(full->GetWidth());
        height = static_cast<int>(full->GetHeight());
    }
    if (width <= 0 || height <= 0)
        return nullptr;
    return Checked(
        full->GetThumbnailImage(static_cast<UINT>(width), static_cast<UINT>(height), nullptr, nullptr));
}

std::unique_ptr<Gdiplus::Image> MRender::LoadImageFromIDResource(UINT id, CString type, HINSTANCE module)
{
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), type.GetString());
    if (!info)
        return nullptr;
    const DWORD size = ::SizeofResource(module, info);
    HGLOBAL loaded = ::LoadResource(module, info);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data || size == 0)
        return nullptr;
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy)
        return nullptr;
    void* target = ::GlobalLock(copy);
    if (!target)
    {
        ::GlobalFree(copy);
        return nullptr;
    }
    std::memcpy(target, data, size);
    ::GlobalUnlock(copy);
    ComPtr<IStream> stream;
    // The stream frees the block when its last reference goes.
    if (FAILED(::CreateStreamOnHGlobal(copy, TRUE, stream.put())))
    {
        ::GlobalFree(copy);
        return nullptr;
    }
    return Checked(Gdiplus::Image::FromStream(stream.get()));
}

IconHandle MRender::LoadIconFromFile(CString path)
{
    if (path.IsEmpty())
        return IconHandle();
    // ExtractAssociatedIconW may write the associated program's path into the buffer.
    std::vector<wchar_t> buffer(std::max<size_t>(MAX_PATH, path.GetLength() + 1), L'\0');
    std::wcsncpy(buffer.data(), path.GetString(), buffer.size() - 1);
    WORD index = 0;
    return IconHandle(::ExtractAssociatedIconW(::GetModuleHandleW(nullptr), buffer.data(), &index));
}

// --- Nine-slice drawing

void MRender::DrawImageFrame(Gdiplus::Graphics& graphics, Gdiplus::Image* image, CRect dest, int sx, int sy,
                             int sw, int sh, int edge)
{
    DrawImageFrameMID(graphics, image, dest, sx, sy, sw, sh, edge, edge, edge, edge);
}

void MRender::DrawImageFrameMID(Gdiplus::Graphics& graphics, Gdiplus::Image* image, CRect dest, int sx,
                                int sy, int sw, int sh, int left, int top, int right, int bottom)
{
    if (!image)
        return;
    Gdiplus::ImageAttributes attributes;
    attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    const int l = dest.left, t = dest.top, r = dest.right, b = dest.bottom;
    const int innerW = r - l - left - right, innerH = b - t - top - bottom;
    const int srcInnerW = sw - left - right, srcInnerH = sh - top - bottom;
    // Neighbouring pieces share their integer edges, so no column or row is drawn twice or skipped.
    auto piece = [&](int x, int y, int w, int h, int px, int py, int pw, int ph)
    { DrawScaled(graphics, image, attributes, CRect(x, y, x + w, y + h), px, py, pw, ph); };
    piece(l, t, left, top, sx, sy, left, top);
    piece(l, t + top, left, innerH, sx, sy + top, left, srcInnerH);
    piece(l, b - bottom, left, bottom, sx, sy + sh - bottom, left, bottom);
    piece(l + left, t, innerW, top, sx + left, sy, srcInnerW, top);
    piece(r - right, t, right, top, sx + sw - right, sy, right, top);
    piece(r - right, t + top, right, innerH, sx + sw - right, sy + top, right, srcInnerH);
    piece(r - right, b - bottom, right, bottom, sx + sw - right, sy + sh - bottom, right, bottom);
    piece(l + left, b - bottom, innerW, bottom, sx + left, sy + sh - bottom, srcInnerW, bottom);
    piece(l + left, t + top, innerW, innerH, sx + left, sy + top, srcInnerW, srcInnerH);
}

void MRender::DrawImageStretched(Gdiplus::Graphics& graphics, Gdiplus::Image* image, CRect dest, int sx,
                                 int sy, int sw, int sh)
{
    if (!image || dest.Width() <= 0 || dest.Height() <= 0 || sw <= 0 || sh <= 0)
        return;
    Gdiplus::ImageAttributes attributes;
    attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    DrawScaled(graphics, image, attributes, dest, sx, sy, sw, sh);
}

// --- Transparency ramps

int MRender::DrawVerticalTransition(HDC& dst, HDC& src, CRect dstRect, CRect srcRect, int p1, int p2)
{
    return DrawTransitionRamp(dst, src, dstRect, srcRect, p1, p2, true);
}

int MRender::DrawHorizontalTransition(HDC& dst, HDC& src, CRect dstRect, CRect srcRect, int p1, int p2)
{
    return DrawTransitionRamp(dst, src, dstRect, srcRect, p1, p2, false);
}

void MRender::DrawRightBottomTransition(HDC& dst, HDC& src, CRect rect, int n)
{
    if (n <= 0)
        return;
    const int x0 = rect.left + rect.Width() - n;
    const int y0 = rect.top + rect.Height() - n;
    for (int i = 0; i < n; ++i)
    {
        for (int j = 0; j < n; ++j)
        {
            const double distance = std::min<double>(n, std::sqrt(static_cast<double>(i * i + j * j)));
            const BYTE alpha = RampAlpha(255 - 255.0 / n * distance);
            BlendStrip(dst, x0 + i, y0 + j, 1, 1, src, x0 + i, y0 + j, 1, 1, alpha);
        }
    }
}

// --- One-line primitives

void MRender::FillSolidRect(HDC& dc, CRect rect, COLORREF color)
{
    const COLORREF old = ::SetBkColor(dc, color);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
}

void MRender::FillSolidRect(HDC& dc, int x, int y, int width, int height, COLORREF color)
{
    FillSolidRect(dc, CRect(x, y, x + width, y + height), color);
}

void MRender::DrawColor(HDC dc, CRect rect, Gdiplus::ARGB color)
{
    if (color < 0x01000000)
        return;
    Gdiplus::Graphics graphics(dc);
    Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
    graphics.FillRectangle(&brush, rect.left, rect.top, rect.Width(), rect.Height());
}

void MRender::DrawGradient(HDC dc, CRect rect, Gdiplus::ARGB from, Gdiplus::ARGB to, int vertical)
{
    if (rect.IsRectEmpty())
        return;
    Gdiplus::Graphics graphics(dc);
    const Gdiplus::Rect area(rect.left, rect.top, rect.Width(), rect.Height());
    Gdiplus::LinearGradientBrush brush(area, Gdiplus::Color(from), Gdiplus::Color(to),
                                       vertical ? Gdiplus::LinearGradientModeVertical
                                                : Gdiplus::LinearGradientModeHorizontal);
    graphics.FillRectangle(&brush, area);
}

void MRender::DrawTextW(HDC dc, CRect rect, const wchar_t* text, COLORREF color, HFONT font, UINT format)
{
    if (!text)
        return;
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = ::SetTextColor(dc, color);
    HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
    ::DrawTextW(dc, text, -1, &rect, format);
    if (oldFont)
        ::SelectObject(dc, oldFont);
    ::SetTextColor(dc, oldColor);
    ::SetBkMode(dc, oldMode);
}

void MRender::DrawRoundRectange(Gdiplus::Graphics& graphics, CRect rect, int radius, Gdiplus::Color fill)
{
    Gdiplus::GraphicsPath path;
    AddRoundedRectangle(path, rect, radius);
    Gdiplus::SolidBrush brush(fill);
    graphics.FillPath(&brush, &path);
}

void MRender::DrawRoundRectange(Gdiplus::Graphics& graphics, CRect rect, int radius, Gdiplus::Color fill,
                                Gdiplus::Color border, float borderWidth)
{
    Gdiplus::GraphicsPath path;
    AddRoundedRectangle(path, rect, radius);
    Gdiplus::SolidBrush brush(fill);
    graphics.FillPath(&brush, &path);
    Gdiplus::Pen pen(border, borderWidth);
    graphics.DrawPath(&pen, &path);
}

void MRender::AddRoundedRectangle(Gdiplus::GraphicsPath& path, CRect rect, int radius)
{
    const int w = rect.Width(), h = rect.Height();
    const int d = std::min(2 * radius, std::min(w, h));
    if (d <= 0)
    {
        path.AddRectangle(Gdiplus::Rect(rect.left, rect.top, w, h));
        return;
    }
    path.AddArc(rect.left, rect.top, d, d, 180, 90);
    path.AddArc(rect.right - d, rect.top, d, d, 270, 90);
    path.AddArc(rect.right - d, rect.bottom - d, d, d, 0, 90);
    path.AddArc(rect.left, rect.bottom - d, d, d, 90, 90);
    path.CloseFigure();
}

void MRender::DrawRectangle(HDC, CRect, COLORREF) {}

// --- Utilities

CPoint MRender::GetOriginPoint(int width, int height, int contentWidth, int contentHeight, UINT hAlign,
                               UINT vAlign)
{
    CPoint origin;
    if (hAlign == 1)
        origin.x = (width - contentWidth) / 2;
    else if (hAlign == 2)
        origin.x = width - contentWidth;
    if (vAlign == 4)
        origin.y = (height - contentHeight) / 2;
    else if (vAlign == 8)
        origin.y = height - contentHeight;
    return origin;
}

CPoint MRender::GetOriginPoint(CRect box, int contentWidth, int contentHeight, UINT hAlign, UINT vAlign)
{
    CPoint origin = GetOriginPoint(box.Width(), box.Height(), contentWidth, contentHeight, hAlign, vAlign);
    return CPoint(box.left + origin.x, box.top + origin.y + 2);
}

CRect MRender::GetImageRect(int imageWidth, int imageHeight, CRect box)
{
    const int bw = box.Width(), bh = box.Height();
    int w = imageWidth, h = imageHeight;
    if (w <= 0 || h <= 0 || bw <= 0 || bh <= 0)
        return CRect(box.CenterPoint(), CSize(0, 0));
    if (w > bw || h > bh)
    {
        const double scale = std::min(static_cast<double>(bw) / w, static_cast<double>(bh) / h);
        w = std::max(1, static_cast<int>(w * scale));
        h = std::max(1, static_cast<int>(h * scale));
    }
    const int x = box.left + (bw - w) / 2;
    const int y = box.top + (bh - h) / 2;
    return CRect(x, y, x + w, y + h);
}

Gdiplus::RectF MRender::GetTextBounds(const Gdiplus::Font& font, const Gdiplus::StringFormat& format,
                                      const wchar_t* text)
{
    Gdiplus::RectF bounds;
    if (!text || !*text)
        return bounds;
    Gdiplus::FontFamily family;
    if (font.GetFamily(&family) != Gdiplus::Ok)
        return bounds;
    Gdiplus::GraphicsPath path;
    path.AddString(text, -1, &family, font.GetStyle(), font.GetSize(), Gdiplus::PointF(0, 0), &format);
    path.GetBounds(&bounds);
    return bounds;
}

Gdiplus::RectF MRender::GetTextBounds(const Gdiplus::Font& font, const wchar_t* text)
{
    Gdiplus::StringFormat format;
    return GetTextBounds(font, format, text);
}

Gdiplus::RectF MRender::GetTextBounds(Gdiplus::Graphics& graphics, const Gdiplus::Font& font,
                                      const Gdiplus::StringFormat& format, const wchar_t* text,
                                      const Gdiplus::RectF& layout)
{
    Gdiplus::RectF bounds;
    if (text && *text)
        graphics.MeasureString(text, -1, &font, layout, &format, &bounds);
    return bounds;
}

void MRender::CheckAlphaColor(Gdiplus::ARGB& color)
{
    // Pure black would read as "no pixel" to the layered-window alpha fix-up.
    if ((color & 0x00FFFFFF) == 0)
        color += 1;
}

HDC MRender::CreateCompatibleDC(HDC dc)
{
    return ::CreateCompatibleDC(dc);
}

BitmapHandle MRender::CreateCompatibleBitmap(HDC dc, int width, int height)
{
    return BitmapHandle(::CreateCompatibleBitmap(dc, width, height));
}

BitmapHandle MRender::CreateARGB32Bitmap(HDC dc, int width, int height, void** bits)
{
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    BitmapHandle bitmap(::CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (bits)
        *bits = bitmap ? pixels : nullptr;
    return bitmap;
}

BOOL MRender::BitBlt(HDC dst, CRect dstRect, HDC src, int srcX, int srcY)
{
    return ::BitBlt(dst, dstRect.left, dstRect.top, dstRect.Width(), dstRect.Height(), src, srcX, srcY,
                    SRCCOPY);
}

BOOL MRender::BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop)
{
    return ::BitBlt(dst, x, y, width, height, src, srcX, srcY, rop);
}

CPoint MRender::RotatePoint(CPoint centre, CPoint p, double angle)
{
    const double radians = angle * 3.14159265358979323846 / 180.0;
    const double c = std::cos(radians), s = std::sin(radians);
    const double dx = p.x - centre.x, dy = p.y - centre.y;
    return CPoint(static_cast<int>(std::lround(centre.x + dx * c - dy * s)),
                  static_cast<int>(std::lround(centre.y + dx * s + dy * c)));
}

int MRender::SaveBitmapToFile(HBITMAP bitmap, CString path)
{
    int width = 0, height = 0;
    std::vector<DWORD> pixels;
    if (!bitmap || path.IsEmpty() || !ReadPixels(bitmap, width, height, pixels))
        return 0;
    if (!EndsWithNoCase(path, L".png"))
        return WriteBmp(path, width, height, pixels) ? 1 : 0;
    CLSID png;
    if (!FindEncoder(L"image/png", &png))
        return 0;
    Gdiplus::Bitmap image(width, height, width * 4, PixelFormat32bppARGB,
                          reinterpret_cast<BYTE*>(pixels.data()));
    return image.Save(path.GetString(), &png, nullptr) == Gdiplus::Ok ? 1 : 0;
}

} // namespace Tessel
