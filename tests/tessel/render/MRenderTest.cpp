#include "tests/tessel/RenderTestSupport.h"

#include "tessel/render/MRender.h"
#include "tessel/render/Manager.h"
#include "tessel/render/Surface.h"
#include "tessel/resources/TesselResources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace Tessel;

namespace
{

// Colours of the 12 x 12 nine-slice source (edge 4): every piece has its own.
constexpr Gdiplus::ARGB kTopLeft = 0xFFFF0000, kTopRight = 0xFF00FF00, kBottomLeft = 0xFF0000FF,
                        kBottomRight = 0xFFFFFF00, kTop = 0xFFFF00FF, kBottom = 0xFF00FFFF,
                        kLeft = 0xFFFF8000, kRight = 0xFF8000FF, kCentre = 0xFF808080;

Gdiplus::ARGB PieceColour(int x, int y, int size, int l, int t, int r, int b)
{
    const int col = x < l ? 0 : (x >= size - r ? 2 : 1);
    const int row = y < t ? 0 : (y >= size - b ? 2 : 1);
    const Gdiplus::ARGB grid[3][3] = {
        {kTopLeft, kTop, kTopRight}, {kLeft, kCentre, kRight}, {kBottomLeft, kBottom, kBottomRight}};
    return grid[row][col];
}

std::unique_ptr<Gdiplus::Bitmap> NineSliceSource(int size, int l, int t, int r, int b)
{
    auto bitmap = MakeBitmap(size, size, 0);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            bitmap->SetPixel(x, y, Gdiplus::Color(PieceColour(x, y, size, l, t, r, b)));
    return bitmap;
}

Gdiplus::ARGB PixelOf(Gdiplus::Bitmap& bitmap, int x, int y)
{
    Gdiplus::Color c;
    bitmap.GetPixel(x, y, &c);
    return c.GetValue();
}

// Fills a surface with one ARGB value through its pixel buffer.
void Fill(Surface& surface, DWORD argb)
{
    ::GdiFlush();
    for (int i = 0; i < surface.Width() * surface.Height(); ++i)
        surface.Bits()[i] = argb;
}

int Red(DWORD argb)
{
    return (argb >> 16) & 0xFF;
}

} // namespace

TEST(MRenderNineSlice, CornersKeepTheirSizeEdgesAndCentreStretch)
{
    auto source = NineSliceSource(12, 4, 4, 4, 4);
    auto target = MakeBitmap(50, 40, 0);
    {
        Gdiplus::Graphics graphics(target.get());
        MRender::DrawImageFrame(graphics, source.get(), CRect(5, 5, 45, 35), 0, 0, 12, 12, 4);
        EXPECT_EQ(graphics.GetLastStatus(), Gdiplus::Ok);
    }
    SavePng(*target, ArtifactsFolder() + L"tessel_nine_slice.png");

    struct Probe
    {
        int x, y;
        Gdiplus::ARGB expected;
    } probes[] = {
        {5, 5, kTopLeft},
        {8, 8, kTopLeft},
        {41, 5, kTopRight},
        {44, 8, kTopRight},
        {5, 31, kBottomLeft},
        {8, 34, kBottomLeft},
        {41, 31, kBottomRight},
        {44, 34, kBottomRight},
        {9, 5, kTop},
        {25, 8, kTop},
        {40, 6, kTop},
        {25, 31, kBottom},
        {25, 34, kBottom},
        {5, 9, kLeft},
        {8, 20, kLeft},
        {41, 20, kRight},
        {44, 30, kRight},
        {9, 9, kCentre},
        {25, 20, kCentre},
        {40, 30, kCentre},
        {4, 4, 0},
        {45, 20, 0},
        {20, 35, 0},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(PixelOf(*target, p.x, p.y), p.expected) << "at " << p.x << "," << p.y;
}

TEST(MRenderNineSlice, SeparateInsetsForEachSideAndASourceOffset)
{
    // The source strip holds two frames; the second one (x 12..23) is drawn.
    auto frame = NineSliceSource(12, 2, 3, 4, 5);
    auto strip = MakeBitmap(24, 12, 0xFF000000);
    {
        Gdiplus::Graphics g(strip.get());
        g.DrawImage(frame.get(), 12, 0, 12, 12);
    }
    auto target = MakeBitmap(40, 40, 0);
    {
        Gdiplus::Graphics graphics(target.get());
        MRender::DrawImageFrameMID(graphics, strip.get(), CRect(0, 0, 30, 40), 12, 0, 12, 12, 2, 3, 4, 5);
    }
    EXPECT_EQ(PixelOf(*target, 1, 2), kTopLeft);
    EXPECT_EQ(PixelOf(*target, 2, 2), kTop);
    EXPECT_EQ(PixelOf(*target, 1, 3), kLeft);
    EXPECT_EQ(PixelOf(*target, 26, 2), kTopRight);
    EXPECT_EQ(PixelOf(*target, 25, 2), kTop);
    EXPECT_EQ(PixelOf(*target, 26, 35), kBottomRight);
    EXPECT_EQ(PixelOf(*target, 26, 34), kRight);
    EXPECT_EQ(PixelOf(*target, 1, 39), kBottomLeft);
    EXPECT_EQ(PixelOf(*target, 15, 37), kBottom);
    EXPECT_EQ(PixelOf(*target, 2, 3), kCentre);
    EXPECT_EQ(PixelOf(*target, 25, 34), kCentre);
    EXPECT_EQ(PixelOf(*target, 30, 20), 0u);
}

// A 24 x 24 frame with 8-pixel insets drawn 110 x 30, as skinned buttons are: the edges and the
// centre stretch by a fraction. Wherever the frame lands, and with the modes the controls set,
// every pixel shows its own piece (no see-through or blended column where pieces meet) and nothing
// is drawn outside the rectangle.
TEST(MRenderNineSlice, StretchedPiecesCoverEveryPixelWhereverTheFrameLands)
{
    auto source = NineSliceSource(24, 8, 8, 8, 8);
    for (const bool smooth : {false, true})
    {
        int wrong = 0;
        std::string firstWrong;
        for (int offset = 0; offset < 40; ++offset)
        {
            const CRect dest(offset, 3, offset + 110, 33);
            auto target = MakeBitmap(160, 40, 0);
            {
                Gdiplus::Graphics graphics(target.get());
                if (smooth)
                {
                    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
                    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
                }
                MRender::DrawImageFrame(graphics, source.get(), dest, 0, 0, 24, 24, 8);
            }
            for (int y = dest.top - 1; y <= dest.bottom; ++y)
            {
                for (int x = std::max(0, static_cast<int>(dest.left) - 1); x <= dest.right; ++x)
                {
                    const int dx = x - dest.left, dy = y - dest.top;
                    const int sx = dx < 8 ? dx : (dx >= 102 ? dx - 86 : 12);
                    const int sy = dy < 8 ? dy : (dy >= 22 ? dy - 6 : 12);
                    const Gdiplus::ARGB expected =
                        dest.PtInRect(CPoint(x, y)) ? PieceColour(sx, sy, 24, 8, 8, 8, 8) : 0;
                    const Gdiplus::ARGB actual = PixelOf(*target, x, y);
                    if (actual == expected)
                        continue;
                    if (wrong++ == 0)
                    {
                        char text[96];
                        std::snprintf(text, sizeof(text), "offset %d, pixel %d,%d: %08lx, expected %08lx",
                                      offset, dx, dy, static_cast<unsigned long>(actual),
                                      static_cast<unsigned long>(expected));
                        firstWrong = text;
                    }
                }
            }
        }
        EXPECT_EQ(wrong, 0) << (smooth ? "smooth modes, " : "default modes, ") << "first " << firstWrong;
    }
}

// The second frame of a red | blue | green strip, enlarged and shrunk to several sizes at every
// offset: each pixel of the rectangle is blue (never see-through, never red or green from the
// neighbours), nothing outside it is touched, and an empty rectangle or source draws nothing.
TEST(MRenderStretch, EveryPixelShowsTheSourceRectangleAndNothingSpills)
{
    constexpr Gdiplus::ARGB kFrame = 0xFF0000FF;
    auto strip = MakeBitmap(30, 10, 0xFFFF0000);
    {
        Gdiplus::Graphics g(strip.get());
        Gdiplus::SolidBrush blue{Gdiplus::Color(kFrame)}, green{Gdiplus::Color(0xFF00FF00)};
        g.FillRectangle(&blue, 10, 0, 10, 10);
        g.FillRectangle(&green, 20, 0, 10, 10);
    }
    const CSize sizes[] = {{26, 26}, {37, 10}, {10, 23}, {7, 4}, {3, 17}};
    int wrong = 0;
    std::string firstWrong;
    for (const CSize& size : sizes)
    {
        for (int offset = 0; offset < 24; ++offset)
        {
            const CRect dest(offset + 1, 2, offset + 1 + size.cx, 2 + size.cy);
            auto target = MakeBitmap(64, 32, 0);
            {
                Gdiplus::Graphics graphics(target.get());
                MRender::DrawImageStretched(graphics, strip.get(), dest, 10, 0, 10, 10);
            }
            for (int y = dest.top - 1; y <= dest.bottom; ++y)
            {
                for (int x = dest.left - 1; x <= dest.right; ++x)
                {
                    const Gdiplus::ARGB expected = dest.PtInRect(CPoint(x, y)) ? kFrame : 0;
                    const Gdiplus::ARGB actual = PixelOf(*target, x, y);
                    if (actual == expected || wrong++ > 0)
                        continue;
                    char text[96];
                    std::snprintf(text, sizeof(text), "%ldx%ld at %d, pixel %ld,%ld: %08lx", size.cx, size.cy,
                                  offset, x - dest.left, y - dest.top, static_cast<unsigned long>(actual));
                    firstWrong = text;
                }
            }
        }
    }
    EXPECT_EQ(wrong, 0) << "first " << firstWrong;

    auto target = MakeBitmap(20, 20, 0);
    Gdiplus::Graphics graphics(target.get());
    MRender::DrawImageStretched(graphics, strip.get(), CRect(5, 5, 5, 15), 10, 0, 10, 10);
    MRender::DrawImageStretched(graphics, strip.get(), CRect(5, 5, 15, 15), 10, 0, 0, 10);
    MRender::DrawImageStretched(graphics, nullptr, CRect(5, 5, 15, 15), 10, 0, 10, 10);
    EXPECT_EQ(PixelOf(*target, 5, 5), 0u);
    EXPECT_EQ(PixelOf(*target, 10, 10), 0u);
}

TEST(MRenderNineSlice, NullImageDrawsNothing)
{
    auto target = MakeBitmap(10, 10, 0);
    Gdiplus::Graphics graphics(target.get());
    MRender::DrawImageFrame(graphics, nullptr, CRect(0, 0, 10, 10), 0, 0, 4, 4, 1);
    EXPECT_EQ(PixelOf(*target, 5, 5), 0u);
}

class MRenderTransition : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dst.Resize(nullptr, 8, 10));
        ASSERT_TRUE(m_src.Resize(nullptr, 8, 10));
        Fill(m_dst, 0xFF000000);
        Fill(m_src, 0xFFFFFFFF);
    }
    // Red of the row (or column) blended from white onto black = the alpha used there.
    int RowAlpha(int y) { return Red(m_dst.PixelAt(3, y)); }
    int ColumnAlpha(int x) { return Red(m_dst.PixelAt(x, 4)); }

    Surface m_dst;
    Surface m_src;
};

TEST_F(MRenderTransition, EightyPercentAtBothEndsBlendsEveryRowAt51)
{
    HDC dst = m_dst.GetDC(), src = m_src.GetDC();
    EXPECT_EQ(MRender::DrawVerticalTransition(dst, src, CRect(0, 0, 8, 10), CRect(0, 0, 8, 10), 80, 80), 51);
    for (int y = 0; y < 10; ++y)
        EXPECT_NEAR(RowAlpha(y), 51, 1) << "row " << y;
}

TEST_F(MRenderTransition, ZeroToHundredFadesFromOpaqueTopToClearBottom)
{
    HDC dst = m_dst.GetDC(), src = m_src.GetDC();
    // step 25.5: 255, 229.5, 204, ... truncated.
    EXPECT_EQ(MRender::DrawVerticalTransition(dst, src, CRect(0, 0, 8, 10), CRect(0, 0, 8, 10), 0, 100), 25);
    const int expected[10] = {255, 229, 204, 178, 153, 127, 102, 76, 51, 25};
    for (int y = 0; y < 10; ++y)
        EXPECT_NEAR(RowAlpha(y), expected[y], 1) << "row " << y;
}

TEST_F(MRenderTransition, HundredToZeroRisesFromClearTop)
{
    HDC dst = m_dst.GetDC(), src = m_src.GetDC();
    EXPECT_EQ(MRender::DrawVerticalTransition(dst, src, CRect(0, 0, 8, 10), CRect(0, 0, 8, 10), 100, 0), 229);
    EXPECT_NEAR(RowAlpha(0), 0, 1);
    EXPECT_NEAR(RowAlpha(9), 229, 1);
}

TEST_F(MRenderTransition, HorizontalRampRunsByColumnsAndEmptyRectReturns255)
{
    HDC dst = m_dst.GetDC(), src = m_src.GetDC();
    EXPECT_EQ(MRender::DrawHorizontalTransition(dst, src, CRect(0, 0, 8, 10), CRect(0, 0, 8, 10), 0, 100),
              31);
    EXPECT_NEAR(ColumnAlpha(0), 255, 1);
    EXPECT_NEAR(ColumnAlpha(4), 127, 1); // 255 - 4 * 31.875
    EXPECT_NEAR(ColumnAlpha(7), 31, 1);
    EXPECT_EQ(MRender::DrawVerticalTransition(dst, src, CRect(0, 0, 8, 0), CRect(0, 0, 8, 0), 0, 100), 255);
}

TEST_F(MRenderTransition, RightBottomFadeLeavesTheRestUntouched)
{
    HDC dst = m_dst.GetDC(), src = m_src.GetDC();
    MRender::DrawRightBottomTransition(dst, src, CRect(0, 0, 8, 10), 4);
    EXPECT_EQ(Red(m_dst.PixelAt(3, 5)), 0);        // outside the 4 x 4 block
    EXPECT_NEAR(Red(m_dst.PixelAt(4, 6)), 255, 1); // block origin: distance 0
    EXPECT_NEAR(Red(m_dst.PixelAt(7, 9)), 0, 1);   // distance >= n: clear
}

TEST(MRenderPrimitives, DrawColorSkipsTransparentAndBlendsTranslucent)
{
    Surface surface;
    ASSERT_TRUE(surface.Resize(nullptr, 6, 6));
    Fill(surface, 0xFFFFFFFF);
    MRender::DrawColor(surface.GetDC(), CRect(0, 0, 6, 6), 0x00FF0000);
    EXPECT_EQ(surface.PixelAt(2, 2) & 0xFFFFFF, 0xFFFFFFu);
    MRender::DrawColor(surface.GetDC(), CRect(0, 0, 3, 6), 0x80FF0000);
    const DWORD half = surface.PixelAt(1, 2);
    EXPECT_EQ(Red(half), 255);
    EXPECT_NEAR(static_cast<int>((half >> 8) & 0xFF), 127, 2);
    EXPECT_NEAR(static_cast<int>(half & 0xFF), 127, 2);
    EXPECT_EQ(surface.PixelAt(4, 2) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(MRenderPrimitives, FillSolidRectFillsExactlyTheRectangle)
{
    Surface surface;
    ASSERT_TRUE(surface.Resize(nullptr, 10, 10));
    Fill(surface, 0);
    HDC dc = surface.GetDC();
    MRender::FillSolidRect(dc, 2, 3, 4, 5, RGB(10, 20, 30));
    EXPECT_EQ(surface.PixelAt(2, 3) & 0xFFFFFF, 0x0A141Eu);
    EXPECT_EQ(surface.PixelAt(5, 7) & 0xFFFFFF, 0x0A141Eu);
    EXPECT_EQ(surface.PixelAt(6, 7), 0u);
    EXPECT_EQ(surface.PixelAt(5, 8), 0u);
    EXPECT_EQ(surface.PixelAt(1, 3), 0u);
}

TEST(MRenderPrimitives, OriginPointAlignsContentInBox)
{
    EXPECT_EQ(MRender::GetOriginPoint(100, 50, 20, 10, 0, 0), CPoint(0, 0));
    EXPECT_EQ(MRender::GetOriginPoint(100, 50, 20, 10, 1, 4), CPoint(40, 20));
    EXPECT_EQ(MRender::GetOriginPoint(100, 50, 20, 10, 2, 8), CPoint(80, 40));
    EXPECT_EQ(MRender::GetOriginPoint(100, 50, 20, 10, 7, 3), CPoint(0, 0)); // unknown values: near
    // The rectangle form is absolute and 2 pixels lower.
    EXPECT_EQ(MRender::GetOriginPoint(CRect(10, 10, 110, 60), 20, 10, 1, 4), CPoint(50, 32));
}

TEST(MRenderPrimitives, CheckAlphaColorLiftsOnlyBlack)
{
    Gdiplus::ARGB black = 0x80000000, red = 0xFFFF0000;
    MRender::CheckAlphaColor(black);
    MRender::CheckAlphaColor(red);
    EXPECT_EQ(black, 0x80000001u);
    EXPECT_EQ(red, 0xFFFF0000u);
}

TEST(MRenderPrimitives, ImageRectCentresAndShrinksKeepingAspect)
{
    EXPECT_EQ(MRender::GetImageRect(20, 10, CRect(0, 0, 100, 100)), CRect(40, 45, 60, 55));
    EXPECT_EQ(MRender::GetImageRect(200, 100, CRect(0, 0, 100, 100)), CRect(0, 25, 100, 75));
    EXPECT_TRUE(MRender::GetImageRect(0, 10, CRect(0, 0, 100, 100)).IsRectEmpty());
}

TEST(MRenderPrimitives, ARGB32BitmapIsBottomUpWithPixelPointer)
{
    HDC dc = ::CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    BitmapHandle bitmap = MRender::CreateARGB32Bitmap(dc, 7, 5, &bits);
    ASSERT_TRUE(bitmap);
    ASSERT_NE(bits, nullptr);
    DIBSECTION dib = {};
    ASSERT_EQ(::GetObjectW(bitmap.get(), sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
    EXPECT_EQ(dib.dsBmih.biBitCount, 32);
    EXPECT_EQ(dib.dsBmih.biHeight, 5); // positive: bottom-up
    EXPECT_EQ(dib.dsBmih.biCompression, static_cast<DWORD>(BI_RGB));
    ::DeleteDC(dc);
}

TEST(MRenderLoad, EmbeddedPngResourcesHaveTheirSizes)
{
    auto horizontal =
        MRender::LoadImageFromIDResource(IDR_TESSEL_SCROLL_HORIZONTAL, L"PNG", Manager::GetFrameworkModule());
    auto vertical =
        MRender::LoadImageFromIDResource(IDR_TESSEL_SCROLL_VERTICAL, L"PNG", Manager::GetFrameworkModule());
    ASSERT_TRUE(horizontal);
    ASSERT_TRUE(vertical);
    EXPECT_EQ(horizontal->GetWidth(), 22u);
    EXPECT_EQ(horizontal->GetHeight(), 20u);
    EXPECT_EQ(vertical->GetWidth(), 12u);
    EXPECT_EQ(vertical->GetHeight(), 72u);
    // Missing id, and a resource that is not an image.
    EXPECT_FALSE(MRender::LoadImageFromIDResource(999, L"PNG", Manager::GetFrameworkModule()));
    EXPECT_FALSE(MRender::LoadImageFromIDResource(IDR_TESSEL_FONT, L"TTF", Manager::GetFrameworkModule()));
}

TEST(MRenderLoad, FilesDecodeMissingOrBrokenOnesGiveNull)
{
    const std::wstring folder = TestSkinFolder();
    const std::wstring name = WriteSkinPng(L"load", 30, 12, 0xFF112233);
    auto image = MRender::LoadImageFromFile((folder + name).c_str());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetWidth(), 30u);

    auto thumb = MRender::LoadImageFromFileEx((folder + name).c_str(), 6, 3);
    ASSERT_TRUE(thumb);
    EXPECT_EQ(thumb->GetWidth(), 6u);
    EXPECT_EQ(thumb->GetHeight(), 3u);
    auto own = MRender::LoadImageFromFileEx((folder + name).c_str(), 0, 0);
    ASSERT_TRUE(own);
    EXPECT_EQ(own->GetWidth(), 30u);

    EXPECT_FALSE(MRender::LoadImageFromFile((folder + L"no_such_image.png").c_str()));
    EXPECT_FALSE(MRender::LoadImageFromFile(CString()));
    const std::wstring broken = folder + UniqueName(L"broken", L".png");
    HANDLE file = ::CreateFileW(broken.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, "not an image", 12, &written, nullptr);
    ::CloseHandle(file);
    ForgetAtExit(broken);
    EXPECT_FALSE(MRender::LoadImageFromFile(broken.c_str()));
}

TEST(MRenderLoad, IconFromAnIconFile)
{
    const std::wstring path = ArtifactsFolder() + UniqueName(L"tessel_icon", L".ico");
    ASSERT_TRUE(WriteIconFile(path));
    IconHandle icon = MRender::LoadIconFromFile(path.c_str());
    ASSERT_TRUE(icon);
    ICONINFO info = {};
    ASSERT_TRUE(::GetIconInfo(icon.get(), &info));
    BitmapHandle colour(info.hbmColor), mask(info.hbmMask);
    EXPECT_TRUE(colour);
    EXPECT_FALSE(MRender::LoadIconFromFile(CString()));
    ::DeleteFileW(path.c_str());
}

TEST(MRenderSave, PngKeepsAlphaAndColours)
{
    Surface surface;
    ASSERT_TRUE(surface.Resize(nullptr, 3, 2));
    ::GdiFlush();
    // Bottom-up buffer: index 0 is the bottom-left pixel.
    const DWORD pixels[6] = {0xFF0000FF, 0x80FF0000, 0x00000000, 0xFF00FF00, 0xFFFFFFFF, 0x40102030};
    for (int i = 0; i < 6; ++i)
        surface.Bits()[i] = pixels[i];
    const std::wstring path = ArtifactsFolder() + UniqueName(L"tessel_save", L".png");
    ASSERT_EQ(MRender::SaveBitmapToFile(surface.GetBitmap(), path.c_str()), 1);
    {
        Gdiplus::Bitmap loaded(path.c_str());
        ASSERT_EQ(loaded.GetLastStatus(), Gdiplus::Ok);
        EXPECT_EQ(PixelOf(loaded, 0, 1), 0xFF0000FFu);
        EXPECT_EQ(PixelOf(loaded, 1, 1), 0x80FF0000u);
        EXPECT_EQ(PixelOf(loaded, 0, 0), 0xFF00FF00u);
        EXPECT_EQ(PixelOf(loaded, 2, 0), 0x40102030u);
    }
    ::DeleteFileW(path.c_str());

    const std::wstring bmp = ArtifactsFolder() + UniqueName(L"tessel_save", L".bmp");
    EXPECT_EQ(MRender::SaveBitmapToFile(surface.GetBitmap(), bmp.c_str()), 1);
    EXPECT_NE(::GetFileAttributesW(bmp.c_str()), INVALID_FILE_ATTRIBUTES);
    ::DeleteFileW(bmp.c_str());
    EXPECT_EQ(MRender::SaveBitmapToFile(nullptr, path.c_str()), 0);
}

TEST(MRenderText, OutlineBoundsGrowWithTheText)
{
    const std::wstring face = AnyInstalledFamily();
    if (face.empty())
        GTEST_SKIP() << "no installed font";
    Gdiplus::FontFamily family(face.c_str());
    ASSERT_EQ(family.GetLastStatus(), Gdiplus::Ok);
    Gdiplus::Font font(&family, 14.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    const Gdiplus::RectF narrow = MRender::GetTextBounds(font, L"i");
    const Gdiplus::RectF wide = MRender::GetTextBounds(font, L"WWWW");
    EXPECT_GT(narrow.Width, 0.0f);
    EXPECT_GT(wide.Width, 3 * narrow.Width);
    EXPECT_EQ(MRender::GetTextBounds(font, L"").Width, 0.0f);
}
