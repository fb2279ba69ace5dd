#pragma once

// Pixel maths of the computed drop shadow, kept free of windows.h so it can be tested and
// measured on its own. MShadow reads the dialog's shape and hands it over as row spans.

#include "tessel/TesselApi.h"

#include <cstdint>
#include <vector>

namespace Tessel
{

// A half-open run [start, end) of one row; start >= end means the row is empty.
struct ShadowSpan
{
    int start = 0;
    int end = 0;
    bool IsEmpty() const { return start >= end; }
};

struct ShadowParams
{
    int size = 0;       // -35..35: how far the shadow reaches beyond the dialog
    int sharpness = 5;  // 0..35: width of the soft fall-off
    int darkness = 150; // 0..255: alpha of the fully dark part
    int xOffset = 5;    // -35..35
    int yOffset = 5;    // -35..35
    uint32_t color = 0; // 0x00RRGGBB
};

namespace ShadowLimits
{
inline bool SizeOk(int v)
{
    return v >= -35 && v <= 35;
}
inline bool SharpnessOk(int v)
{
    return v >= 0 && v <= 35;
}
inline bool DarknessOk(int v)
{
    return v >= 0 && v <= 255;
}
inline bool OffsetOk(int v)
{
    return v >= -35 && v <= 35;
}
} // namespace ShadowLimits

// One premultiplied BGRA pixel (as a little-endian 32-bit value) of `color` at alpha `alpha`.
TESSEL_API uint32_t ShadowPixel(uint32_t color, uint8_t alpha);

// The (2K+1)^2 stamp with K = max(size, sharpness), row-major.
TESSEL_API std::vector<uint32_t> MakeShadowKernel(const ShadowParams& params);

// Fills a zeroed bottom-up bitmap of (width + 2*size) x (height + 2*size) pixels with the shadow
// of a dialog whose shape is given as one span per dialog row (dialog coordinates, `height`
// entries). Pixels outside the bitmap are never touched.
TESSEL_API void MakeShadowBits(uint32_t* bits, int width, int height, const std::vector<ShadowSpan>& rows,
                               const ShadowParams& params);

} // namespace Tessel
