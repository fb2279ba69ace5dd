#pragma once

#include "tessel/controls/MControl.h"
#include "tessel/render/GdiplusHeaders.h"

namespace Tessel
{

// A coloured panel: by default a uniform 20 % white wash over whatever lies beneath; with both
// transparencies 0 an opaque fill, optionally inside a 1-pixel frame.
class TESSEL_API CArea : public MControl
{
public:
    CArea(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    ~CArea() override;

    int DrawControl(HDC& dc, CRect clip) override;

    // Transparency in percent at the top and bottom rows; fill is a COLORREF. Repaints when visible.
    void SetTransparent(int startPercent, int endPercent, COLORREF fill);
    // The last argument is not used. Repaints when visible.
    void SetFrame(int enable, Gdiplus::Color color, int unused);

    int GetStartTransparent() const noexcept { return m_startPercent; }
    int GetEndTransparent() const noexcept { return m_endPercent; }
    COLORREF GetFillColor() const noexcept { return m_fill; }
    int IsFrame() const noexcept { return m_frame; }
    Gdiplus::ARGB GetFrameColor() const noexcept { return m_frameColor; }

private:
    void Render(HDC& dc, int width, int height);

    int m_rampByRows = 1;
    int m_startPercent = 80;
    int m_endPercent = 80;
    COLORREF m_fill = 0xFFFFFF;
    int m_frame = 0;
    Gdiplus::ARGB m_frameColor = 0xFE050505;
};

} // namespace Tessel
