#pragma once

#include "tessel/TesselApi.h"
#include "tessel/render/GdiObject.h"
#include "tessel/render/GdiplusHeaders.h"
#include "tessel/render/CPoint.h"
#include "tessel/render/CRect.h"
#include "tessel/render/CString.h"

#include <memory>

namespace Tessel
{

// Image loaders and drawing primitives shared by dialogs and controls.
class TESSEL_API MRender
{
public:
    MRender() = delete;

    // --- Loading: null when the file or resource is missing or cannot be decoded.
    static std::unique_ptr<Gdiplus::Image> LoadImageFromFile(CString path);
    // A width x height thumbnail (the image's own size when both are 0).
    static std::unique_ptr<Gdiplus::Image> LoadImageFromFileEx(CString path, int width, int height);
    // Resource id of the named type in module (a null module means the application).
    static std::unique_ptr<Gdiplus::Image> LoadImageFromIDResource(UINT id, CString type, HINSTANCE module);
    // The icon associated with the file (its own first icon for .ico/.exe).
    static IconHandle LoadIconFromFile(CString path);

    // --- Nine-slice drawing of the source rectangle (sx, sy, sw, sh) into dest: corners at their
    // size, edges and centre stretched; nine DrawImage calls. A failing piece leaves its status as
    // the Graphics object's last status and drawing goes on.
    static void DrawImageFrame(Gdiplus::Graphics& graphics, Gdiplus::Image* image, CRect dest, int sx, int sy,
                               int sw, int sh, int edge);
    // Same with separate insets: left and right widths, top and bottom heights.
    static void DrawImageFrameMID(Gdiplus::Graphics& graphics, Gdiplus::Image* image, CRect dest, int sx,
                                  int sy, int sw, int sh, int left, int top, int right, int bottom);

    // --- The source rectangle (sx, sy, sw, sh) scaled onto dest. Every pixel of dest is drawn, and
    // samples past the rectangle's edges repeat its edge pixels: the edges neither fade to
    // transparent nor pick up the image's pixels outside the rectangle. Nothing for an empty dest
    // or source; a failure is left as the Graphics object's last status.
    static void DrawImageStretched(Gdiplus::Graphics& graphics, Gdiplus::Image* image, CRect dest, int sx,
                                   int sy, int sw, int sh);

    // --- Transparency ramps: blend src onto dst row by row (column by column) with a constant
    // alpha per row going from transparency p1 % to p2 %. Returns the last alpha used (255 when
    // the rectangle is empty).
    static int DrawVerticalTransition(HDC& dst, HDC& src, CRect dstRect, CRect srcRect, int p1, int p2);
    static int DrawHorizontalTransition(HDC& dst, HDC& src, CRect dstRect, CRect srcRect, int p1, int p2);
    // Quarter-circle fade of the n x n block at the rectangle's bottom-right corner.
    static void DrawRightBottomTransition(HDC& dst, HDC& src, CRect rect, int n);

    // --- One-line primitives.
    static void FillSolidRect(HDC& dc, CRect rect, COLORREF color);
    static void FillSolidRect(HDC& dc, int x, int y, int width, int height, COLORREF color);
    // Nothing for a fully transparent colour (below 0x01000000).
    static void DrawColor(HDC dc, CRect rect, Gdiplus::ARGB color);
    static void DrawGradient(HDC dc, CRect rect, Gdiplus::ARGB from, Gdiplus::ARGB to, int vertical);
    // Transparent background; restores text colour and font. Nothing for null text.
    static void DrawTextW(HDC dc, CRect rect, const wchar_t* text, COLORREF color, HFONT font, UINT format);
    static void DrawRoundRectange(Gdiplus::Graphics& graphics, CRect rect, int radius, Gdiplus::Color fill);
    static void DrawRoundRectange(Gdiplus::Graphics& graphics, CRect rect, int radius, Gdiplus::Color fill,
                                  Gdiplus::Color border, float borderWidth);
    static void AddRoundedRectangle(Gdiplus::GraphicsPath& path, CRect rect, int radius);
    // Does nothing.
    static void DrawRectangle(HDC dc, CRect rect, COLORREF color);

    // --- Utilities.
    // Offset of content (cw x ch) in a box (w x h): h-align 0 left, 1 centre, 2 right;
    // v-align 0 top, 4 centre, 8 bottom.
    static CPoint GetOriginPoint(int width, int height, int contentWidth, int contentHeight, UINT hAlign,
                                 UINT vAlign);
    // Absolute point inside box, 2 pixels lower.
    static CPoint GetOriginPoint(CRect box, int contentWidth, int contentHeight, UINT hAlign, UINT vAlign);
    // The image centred in box, shrunk with its aspect ratio kept when it does not fit.
    static CRect GetImageRect(int imageWidth, int imageHeight, CRect box);
    // Bounds of the text's outline drawn with font and format at (0, 0).
    static Gdiplus::RectF GetTextBounds(const Gdiplus::Font& font, const Gdiplus::StringFormat& format,
                                        const wchar_t* text);
    static Gdiplus::RectF GetTextBounds(const Gdiplus::Font& font, const wchar_t* text);
    // Layout box of the text as measured on graphics within layout.
    static Gdiplus::RectF GetTextBounds(Gdiplus::Graphics& graphics, const Gdiplus::Font& font,
                                        const Gdiplus::StringFormat& format, const wchar_t* text,
                                        const Gdiplus::RectF& layout);
    // Black (low 24 bits all 0) becomes 0x000001 with the same alpha.
    static void CheckAlphaColor(Gdiplus::ARGB& color);
    // The caller owns what these return (a MemoryDC / a BitmapHandle).
    static HDC CreateCompatibleDC(HDC dc);
    static BitmapHandle CreateCompatibleBitmap(HDC dc, int width, int height);
    // Bottom-up 32-bit DIB section with BI_RGB; bits receives its pixel pointer.
    static BitmapHandle CreateARGB32Bitmap(HDC dc, int width, int height, void** bits);
    static BOOL BitBlt(HDC dst, CRect dstRect, HDC src, int srcX, int srcY);
    static BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop);
    // p rotated about centre by angle degrees (clockwise on screen).
    static CPoint RotatePoint(CPoint centre, CPoint p, double angle);
    // Writes the bitmap as 32-bit PNG (alpha kept) when path ends in ".png", else as BMP; 1 on success.
    static int SaveBitmapToFile(HBITMAP bitmap, CString path);
};

} // namespace Tessel
