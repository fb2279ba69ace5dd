#pragma once

#include <windows.h>

namespace Tessel
{

// A SIZE with value semantics.
class CSize : public SIZE
{
public:
    CSize() noexcept : SIZE{0, 0} {}
    CSize(int width, int height) noexcept : SIZE{width, height} {}
    CSize(const SIZE& s) noexcept : SIZE(s) {}

    void SetSize(int width, int height) noexcept
    {
        cx = width;
        cy = height;
    }

    bool operator==(const SIZE& o) const noexcept { return cx == o.cx && cy == o.cy; }
    bool operator!=(const SIZE& o) const noexcept { return !(*this == o); }
};

} // namespace Tessel
