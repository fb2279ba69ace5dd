#include "tessel/window/ShadowMaths.h"

#include <algorithm>
#include <cmath>

namespace Tessel
{

uint32_t ShadowPixel(uint32_t color, uint8_t alpha)
{
    const uint32_t a = alpha;
    const uint32_t r = ((color >> 16) & 0xFF) * a / 255;
    const uint32_t g = ((color >> 8) & 0xFF) * a / 255;
    const uint32_t b = (color & 0xFF) * a / 255;
    return (a << 24) | (r << 16) | (g << 8) | b;
}

std::vector<uint32_t> MakeShadowKernel(const ShadowParams& p)
{
    const int k = std::max(p.size, p.sharpness);
    const int side = 2 * k + 1;
    const double centre = std::max(p.size - p.sharpness, 0);
    const uint32_t full = ShadowPixel(p.color, static_cast<uint8_t>(p.darkness));
    std::vector<uint32_t> kernel(static_cast<size_t>(side) * side, 0);
    for (int y = 0; y < side; ++y)
    {
        for (int x = 0; x < side; ++x)
        {
            const double dx = x - k, dy = y - k;
            const double d = std::sqrt(dx * dx + dy * dy);
            uint32_t value = 0;
            if (d < centre)
                value = full;
            else if (d <= k)
            {
                const double fade = 1.0 - (d - centre) / (p.sharpness + 1);
                const int alpha = static_cast<int>(std::floor(fade * p.darkness));
                value = ShadowPixel(p.color, static_cast<uint8_t>(alpha & 0xFF));
            }
            kernel[static_cast<size_t>(y) * side + x] = value;
        }
    }
    return kernel;
}

namespace
{

// Bitmap rows are stored bottom-up; rows and columns are addressed top-down here.
class BottomUpBitmap
{
public:
    BottomUpBitmap(uint32_t* bits, int width, int height) : m_bits(bits), m_width(width), m_height(height) {}
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }
    uint32_t& At(int x, int y) { return m_bits[static_cast<size_t>(m_height - 1 - y) * m_width + x]; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    uint32_t* m_bits;
    int m_width;
    int m_height;
};

// Spans per bitmap row with one empty guard entry at each end: entry r + 1 is bitmap row r.
std::vector<ShadowSpan> PlaceRows(const std::vector<ShadowSpan>& rows, int height, int size, int bitmapHeight)
{
    std::vector<ShadowSpan> placed(static_cast<size_t>(bitmapHeight) + 2);
    for (int y = 0; y < height && y < static_cast<int>(rows.size()); ++y)
    {
        const int r = y + size;
        if (r < 0 || r >= bitmapHeight || rows[y].IsEmpty())
            continue;
        placed[r + 1] = ShadowSpan{rows[y].start + size, rows[y].end + size};
    }
    return placed;
}

// Each pass moves every edge one pixel inwards, also against the neighbouring rows, so corners
// round off the same way as straight edges.
void Erode(std::vector<ShadowSpan>& spans, int times)
{
    std::vector<ShadowSpan> next(spans.size());
    for (int pass = 0; pass < times; ++pass)
    {
        for (size_t i = 1; i + 1 < spans.size(); ++i)
        {
            const ShadowSpan& a = spans[i - 1];
            const ShadowSpan& b = spans[i];
            const ShadowSpan& c = spans[i + 1];
            ShadowSpan s{1 + std::max({a.start, b.start, c.start}), std::min({a.end, b.end, c.end}) - 1};
            next[i] = s.IsEmpty() ? ShadowSpan{} : s;
        }
        std::swap(spans, next);
    }
}

void Stamp(BottomUpBitmap& bmp, const std::vector<uint32_t>& kernel, int k, int cx, int cy)
{
    const int side = 2 * k + 1;
    for (int ky = 0; ky < side; ++ky)
    {
        const int y = cy - k + ky;
        for (int kx = 0; kx < side; ++kx)
        {
            const int x = cx - k + kx;
            if (!bmp.Contains(x, y))
                continue;
            uint32_t& px = bmp.At(x, y);
            px = std::max(px, kernel[static_cast<size_t>(ky) * side + kx]);
        }
    }
}

} // namespace

void MakeShadowBits(uint32_t* bits, int width, int height, const std::vector<ShadowSpan>& rows,
                    const ShadowParams& p)
{
    const int bw = width + 2 * p.size;
    const int bh = height + 2 * p.size;
    if (!bits || bw <= 0 || bh <= 0)
        return;
    BottomUpBitmap bmp(bits, bw, bh);

    std::vector<ShadowSpan> spans = PlaceRows(rows, height, p.size, bh);
    Erode(spans, p.sharpness - p.size);

    const int k = std::max(p.size, p.sharpness);
    const std::vector<uint32_t> kernel = MakeShadowKernel(p);

    // Blurred border: stamp the kernel along the left and right runs of each row, i.e. where the
    // row sticks out beyond its neighbours.
    for (int r = k; r < bh - k; ++r)
    {
        const ShadowSpan& s = spans[r + 1];
        if (s.IsEmpty())
            continue;
        const ShadowSpan& up = spans[r];
        const ShadowSpan& down = spans[r + 2];
        const int leftStop = std::min(std::max(up.start, down.start) + 1, s.end);
        for (int x = s.start; x < leftStop; ++x)
            Stamp(bmp, kernel, k, x, r);
        for (int x = std::max(std::min(up.end, down.end) - 1, leftStop); x < s.end; ++x)
            Stamp(bmp, kernel, k, x, r);
    }

    // Interior at full darkness, cut out where the dialog itself covers it.
    const uint32_t full = ShadowPixel(p.color, static_cast<uint8_t>(p.darkness));
    const int first = std::min(k, std::max(p.size - p.yOffset, 0));
    const int last = std::max(bh - k, std::min(height + p.size - p.yOffset, height + 2 * p.size));
    const int shift = p.size - p.xOffset;
    for (int r = std::max(first, 0); r < std::min(last, bh); ++r)
    {
        const ShadowSpan& s = spans[r + 1];
        if (s.IsEmpty())
            continue;
        const int startX = std::max(s.start, 0);
        const int endX = std::min(s.end, bw);
        for (int x = startX; x < endX; ++x)
            bmp.At(x, r) = full;
        const int dialogRow = r - p.size + p.yOffset;
        if (dialogRow < 0 || dialogRow >= height || dialogRow >= static_cast<int>(rows.size()))
            continue;
        const ShadowSpan& under = rows[dialogRow];
        if (under.IsEmpty())
            continue;
        for (int x = std::max(startX, under.start + shift); x < std::min(endX, under.end + shift); ++x)
            bmp.At(x, r) = 0;
    }
}

} // namespace Tessel
