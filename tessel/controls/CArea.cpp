#include "tessel/controls/CArea.h"

#include "tessel/render/SurfaceCanvas.h"
#include "tessel/render/MRender.h"
#include "tessel/render/Surface.h"

namespace Tessel
{

CArea::CArea(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControl(parent, id, rect, visible, enabled, 1)
{
}

CArea::~CArea() = default;

void CArea::SetTransparent(int startPercent, int endPercent, COLORREF fill)
{
    m_startPercent = startPercent;
    m_endPercent = endPercent;
    m_fill = fill;
    if (IsVisible())
        UpdateControl(1, 0);
}

void CArea::SetFrame(int enable, Gdiplus::Color color, int)
{
    m_frame = enable;
    m_frameColor = color.GetValue();
    if (IsVisible())
        UpdateControl(1, 0);
}

int CArea::DrawControl(HDC& dc, CRect)
{
    const CRect rc = GetRect();
    if (rc.IsRectEmpty())
        return 0;
    if (!GetUpdate() || !GetMemSurface().IsValid())
    {
        UpdateMemDC(dc, rc.Width(), rc.Height());
        CopyWindowToMemDC(dc, 0);
        Render(dc, rc.Width(), rc.Height());
    }
    CopyMemDCToWindow(dc, 0);
    return 1;
}

void CArea::Render(HDC& dc, int width, int height)
{
    const Gdiplus::ARGB fill = 0xFE000000u | (static_cast<Gdiplus::ARGB>(GetRValue(m_fill)) << 16) |
                               (static_cast<Gdiplus::ARGB>(GetGValue(m_fill)) << 8) | GetBValue(m_fill);
    if (m_startPercent || m_endPercent)
    {
        Surface wash;
        wash.Resize(dc, width, height);
        {
            SurfaceCanvas canvas(wash);
            canvas.Fill(0, 0, width, height, fill);
        }
        HDC target = GetMemDC();
        HDC source = wash.GetDC();
        if (target && source)
            MRender::DrawVerticalTransition(target, source, CRect(0, 0, width, height),
                                            CRect(0, 0, width, height), m_startPercent, m_endPercent);
        return;
    }
    SurfaceCanvas canvas(GetMemSurface());
    if (m_frame)
    {
        canvas.Fill(0, 0, width, height, m_frameColor);
        canvas.Fill(1, 1, width - 2, height - 2, fill);
    }
    else
    {
        canvas.Fill(0, 0, width, height, fill);
    }
}

} // namespace Tessel
