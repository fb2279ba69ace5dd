#include "tessel/window/ShadowMaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace Tessel;

namespace
{

// A bottom-up bitmap with guard words on both sides, read top-down.
class ShadowBitmap
{
public:
    static constexpr uint32_t kGuard = 0xDEADBEEF;
    ShadowBitmap(int width, int height, const ShadowParams& p)
        : bw(width + 2 * p.size), bh(height + 2 * p.size),
          data(static_cast<size_t>(std::max(bw, 0)) * std::max(bh, 0) + 2 * kPad, 0)
    {
        for (int i = 0; i < kPad; ++i)
            data[i] = data[data.size() - 1 - i] = kGuard;
    }
    uint32_t* Bits() { return data.data() + kPad; }
    uint32_t At(int x, int y) const { return data[kPad + static_cast<size_t>(bh - 1 - y) * bw + x]; }
    int AlphaAt(int x, int y) const { return static_cast<int>(At(x, y) >> 24); }
    bool GuardsIntact() const
    {
        for (int i = 0; i < kPad; ++i)
            if (data[i] != kGuard || data[data.size() - 1 - i] != kGuard)
                return false;
        return true;
    }

    int bw, bh;

private:
    static constexpr int kPad = 64;
    std::vector<uint32_t> data;
};

std::vector<ShadowSpan> Rectangle(int width, int height)
{
    return std::vector<ShadowSpan>(height, ShadowSpan{0, width});
}

ShadowParams Params(int size, int sharpness, int darkness, int x, int y, uint32_t color = 0)
{
    ShadowParams p;
    p.size = size;
    p.sharpness = sharpness;
    p.darkness = darkness;
    p.xOffset = x;
    p.yOffset = y;
    p.color = color;
    return p;
}

TEST(ShadowPixel, IsPremultipliedWithRedInBits16To23)
{
    EXPECT_EQ(0x80804020u, ShadowPixel(0x00FF8040, 128));
    EXPECT_EQ(0xFF123456u, ShadowPixel(0x00123456, 255));
    EXPECT_EQ(0u, ShadowPixel(0x00FFFFFF, 0));
    EXPECT_EQ(0x96000000u, ShadowPixel(0, 150));
}

TEST(ShadowKernel, FullInsideTheCentreFadingToNothingBeyondTheRadius)
{
    const ShadowParams p = Params(10, 5, 150, 5, 5);
    const std::vector<uint32_t> k = MakeShadowKernel(p);
    const int side = 21, c = 10;
    ASSERT_EQ(static_cast<size_t>(side * side), k.size());
    auto alpha = [&](int x, int y) { return static_cast<int>(k[static_cast<size_t>(y) * side + x] >> 24); };
    EXPECT_EQ(150, alpha(c, c));
    EXPECT_EQ(150, alpha(c + 4, c)) << "inside the centre radius 10 - 5";
    EXPECT_EQ(150, alpha(c + 5, c)) << "d = C: (1 - 0) x darkness";
    EXPECT_EQ(100, alpha(c + 7, c)) << "(1 - 2/6) x 150";
    for (int d = 5; d < 10; ++d)
        EXPECT_GT(alpha(c + d, c), alpha(c + d + 1, c)) << d;
    EXPECT_EQ(0, alpha(side - 1, side - 1)) << "corner beyond the radius";
    // Symmetric in both axes.
    EXPECT_EQ(alpha(c - 7, c), alpha(c + 7, c));
    EXPECT_EQ(alpha(c, c - 7), alpha(c + 7, c));
}

TEST(ShadowBits, RectangularDialogCastsABlurredOffsetShadowAndNothingUnderItself)
{
    const ShadowParams p = Params(10, 5, 150, 5, 5);
    ShadowBitmap bmp(40, 30, p);
    MakeShadowBits(bmp.Bits(), 40, 30, Rectangle(40, 30), p);
    ASSERT_TRUE(bmp.GuardsIntact());
    ASSERT_EQ(60, bmp.bw);
    ASSERT_EQ(50, bmp.bh);

    // The window sits at (x offset - size, y offset - size) = (-5, -5) from the dialog, so the
    // dialog covers bitmap columns 5..44 and rows 5..34: transparent there.
    EXPECT_EQ(0u, bmp.At(30, 20));
    EXPECT_EQ(0u, bmp.At(11, 11));
    EXPECT_EQ(0u, bmp.At(44, 34));
    // The strips the offset uncovers are fully dark.
    EXPECT_EQ(0x96000000u, bmp.At(47, 25)) << "right strip";
    EXPECT_EQ(0x96000000u, bmp.At(30, 37)) << "bottom strip";
    // Outside the dialog's shape the shadow fades over the kernel radius.
    EXPECT_EQ(100, bmp.AlphaAt(56, 25)) << "7 pixels beyond the right edge";
    for (int x = 50; x < 59; ++x)
        EXPECT_GE(bmp.AlphaAt(x, 25), bmp.AlphaAt(x + 1, 25)) << x;
    EXPECT_EQ(100, bmp.AlphaAt(30, 3)) << "7 pixels above the top edge";
    EXPECT_EQ(bmp.AlphaAt(3, 25), bmp.AlphaAt(56, 25)) << "left and right fade alike";
    EXPECT_EQ(0, bmp.AlphaAt(0, 0)) << "corner beyond the radius";
}

TEST(ShadowBits, ColourIsPremultipliedByTheAlpha)
{
    const ShadowParams p = Params(10, 5, 200, 5, 5, 0x00FF0000);
    ShadowBitmap bmp(40, 30, p);
    MakeShadowBits(bmp.Bits(), 40, 30, Rectangle(40, 30), p);
    EXPECT_EQ(0xC8C80000u, bmp.At(47, 25));
    const uint32_t faded = bmp.At(56, 25);
    EXPECT_EQ(faded >> 24, (faded >> 16) & 0xFF) << "red = alpha for a pure red colour";
    EXPECT_EQ(0u, faded & 0xFFFF);
}

TEST(ShadowBits, EmptyShapeGivesNoPixels)
{
    const ShadowParams p = Params(10, 5, 150, 5, 5);
    ShadowBitmap bmp(40, 30, p);
    MakeShadowBits(bmp.Bits(), 40, 30, std::vector<ShadowSpan>(30), p);
    for (int y = 0; y < bmp.bh; ++y)
        for (int x = 0; x < bmp.bw; ++x)
            ASSERT_EQ(0u, bmp.At(x, y));
}

TEST(ShadowBits, ErosionKeepsASharpShadowInsideItsReach)
{
    // Sharpness above size: the shape is shrunk (6 - 2) times so the fade ends at the bitmap edge.
    const ShadowParams p = Params(2, 6, 255, 0, 0);
    ShadowBitmap bmp(40, 30, p);
    MakeShadowBits(bmp.Bits(), 40, 30, Rectangle(40, 30), p);
    ASSERT_TRUE(bmp.GuardsIntact());
    EXPECT_GT(bmp.AlphaAt(0, 17), 0) << "the fade reaches the outermost column";
    EXPECT_LT(bmp.AlphaAt(0, 17), bmp.AlphaAt(3, 17));
    EXPECT_EQ(bmp.AlphaAt(0, 17), bmp.AlphaAt(bmp.bw - 1, 17));
    EXPECT_EQ(bmp.AlphaAt(10, 0), bmp.AlphaAt(10, bmp.bh - 1));
}

TEST(ShadowBits, ShapedDialogFollowsItsRows)
{
    // A triangle-ish shape: row y spans [0, 2y + 2).
    std::vector<ShadowSpan> rows;
    for (int y = 0; y < 20; ++y)
        rows.push_back(ShadowSpan{0, 2 * y + 2});
    const ShadowParams p = Params(6, 3, 150, 0, 0);
    ShadowBitmap bmp(40, 20, p);
    MakeShadowBits(bmp.Bits(), 40, 20, rows, p);
    ASSERT_TRUE(bmp.GuardsIntact());
    // Far right of the top rows lies outside the shape and out of the kernel's reach.
    EXPECT_EQ(0, bmp.AlphaAt(bmp.bw - 1, 7));
    // Just beyond the right end of a lower row there is shadow.
    EXPECT_GT(bmp.AlphaAt(6 + 2 * 15 + 2 + 1, 6 + 15), 0);
}

TEST(ShadowBits, NeverWritesOutsideTheBitmap)
{
    for (int size : {-35, -10, -1, 1, 5, 35})
        for (int sharpness : {0, 1, 17, 35})
            for (int offset : {-35, 0, 35})
            {
                const ShadowParams p = Params(size, sharpness, 255, offset, -offset);
                ShadowBitmap bmp(50, 40, p);
                MakeShadowBits(bmp.Bits(), 50, 40, Rectangle(50, 40), p);
                ASSERT_TRUE(bmp.GuardsIntact()) << size << " " << sharpness << " " << offset;
            }
}

TEST(ShadowLimits, RangesOfTheSetters)
{
    EXPECT_TRUE(ShadowLimits::SizeOk(-35));
    EXPECT_TRUE(ShadowLimits::SizeOk(35));
    EXPECT_FALSE(ShadowLimits::SizeOk(36));
    EXPECT_FALSE(ShadowLimits::SharpnessOk(-1));
    EXPECT_FALSE(ShadowLimits::SharpnessOk(36));
    EXPECT_FALSE(ShadowLimits::DarknessOk(256));
    EXPECT_FALSE(ShadowLimits::OffsetOk(-36));
}

} // namespace
