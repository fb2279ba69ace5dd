#pragma once

#include "tessel/render/CPoint.h"
#include "tessel/render/CSize.h"

#include <windows.h>

namespace Tessel
{

// A RECT with value semantics; passes straight to Win32 calls through &rect.
// Right and bottom are exclusive, as everywhere in GDI.
class CRect : public RECT
{
public:
    CRect() noexcept : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) noexcept : RECT{l, t, r, b} {}
    CRect(const RECT& rc) noexcept : RECT(rc) {}
    CRect(const POINT& topLeft, const SIZE& size) noexcept
        : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy}
    {
    }

    int Width() const noexcept { return right - left; }
    int Height() const noexcept { return bottom - top; }
    CSize Size() const noexcept { return CSize(Width(), Height()); }
    CPoint TopLeft() const noexcept { return CPoint(left, top); }
    CPoint BottomRight() const noexcept { return CPoint(right, bottom); }
    CPoint CenterPoint() const noexcept { return CPoint((left + right) / 2, (top + bottom) / 2); }

    // Empty: no area (zero or negative width or height).
    bool IsRectEmpty() const noexcept { return right <= left || bottom <= top; }
    bool IsRectNull() const noexcept { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool PtInRect(const POINT& pt) const noexcept
    {
        return pt.x >= left && pt.x < right && pt.y >= top && pt.y < bottom;
    }

    void SetRect(int l, int t, int r, int b) noexcept
    {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    void SetRectEmpty() noexcept { SetRect(0, 0, 0, 0); }
    void OffsetRect(int dx, int dy) noexcept
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    void OffsetRect(const POINT& pt) noexcept { OffsetRect(pt.x, pt.y); }
    void InflateRect(int dx, int dy) noexcept
    {
        left -= dx;
        right += dx;
        top -= dy;
        bottom += dy;
    }
    void DeflateRect(int dx, int dy) noexcept { InflateRect(-dx, -dy); }
    void MoveToXY(int x, int y) noexcept { OffsetRect(x - left, y - top); }

    // Both set this rectangle and return whether the result has an area, like the Win32 calls.
    bool IntersectRect(const RECT& a, const RECT& b) noexcept
    {
        SetRect(a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
                a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom);
        if (IsRectEmpty())
        {
            SetRectEmpty();
            return false;
        }
        return true;
    }
    // An empty operand does not contribute to the union.
    bool UnionRect(const RECT& a, const RECT& b) noexcept
    {
        const CRect ra(a), rb(b);
        if (ra.IsRectEmpty())
            *this = rb;
        else if (rb.IsRectEmpty())
            *this = ra;
        else
            SetRect(a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
                    a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom);
        if (IsRectEmpty())
        {
            SetRectEmpty();
            return false;
        }
        return true;
    }
    // Whether the two rectangles share any pixel.
    bool Intersects(const RECT& o) const noexcept
    {
        CRect r;
        return r.IntersectRect(*this, o);
    }

    bool operator==(const RECT& o) const noexcept
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const RECT& o) const noexcept { return !(*this == o); }
    CRect operator&(const RECT& o) const noexcept
    {
        CRect r;
        r.IntersectRect(*this, o);
        return r;
    }
    CRect operator|(const RECT& o) const noexcept
    {
        CRect r;
        r.UnionRect(*this, o);
        return r;
    }
};

} // namespace Tessel
