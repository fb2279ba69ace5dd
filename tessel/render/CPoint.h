#pragma once

#include <windows.h>

namespace Tessel
{

// A POINT with value semantics; passes straight to Win32 calls through &point.
class CPoint : public POINT
{
public:
    CPoint() noexcept : POINT{0, 0} {}
    CPoint(int px, int py) noexcept : POINT{px, py} {}
    CPoint(const POINT& pt) noexcept : POINT(pt) {}

    // The signed low and high words of a mouse message's lParam.
    static CPoint FromLParam(LPARAM lParam) noexcept
    {
        return CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    }

    void SetPoint(int px, int py) noexcept
    {
        x = px;
        y = py;
    }
    void Offset(int dx, int dy) noexcept
    {
        x += dx;
        y += dy;
    }

    bool operator==(const POINT& o) const noexcept { return x == o.x && y == o.y; }
    bool operator!=(const POINT& o) const noexcept { return !(*this == o); }
    CPoint operator+(const POINT& o) const noexcept { return CPoint(x + o.x, y + o.y); }
    CPoint operator-(const POINT& o) const noexcept { return CPoint(x - o.x, y - o.y); }
};

} // namespace Tessel
