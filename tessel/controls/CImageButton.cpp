#include "tessel/controls/CImageButton.h"

#include "tessel/paint/PaintManager.h"
#include "tessel/render/MRender.h"
#include "tessel/window/MAirBladder.h"

namespace Tessel
{

CImageButton::CImageButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible,
                           int enabled)
    : MButton(parent, id, rect, title, visible, enabled)
{
}

CImageButton::~CImageButton() = default;

void CImageButton::RenderCell(Gdiplus::Graphics& g, int cell, int width, int height)
{
    if (m_image && cell < m_frameCount && m_frameWidth > 0)
    {
        g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        MRender::DrawImageStretched(g, m_image, CRect(cell * width, 0, (cell + 1) * width, height),
                                    m_frameWidth * cell, 0, m_frameWidth, m_frameHeight);
    }
    if (Gdiplus::Image* icon = GetIcon())
    {
        const int iw = GetIconWidth(), ih = GetIconHeight();
        g.DrawImage(icon, Gdiplus::Rect(cell * width + (width - iw) / 2 + 2, (height - ih) / 2 - 4, iw, ih),
                    0, 0, iw, ih, Gdiplus::UnitPixel);
    }
}

int CImageButton::OnControlMouseMove(UINT flags, CPoint point)
{
    const int changed = MButton::OnControlMouseMove(flags, point);
    if (changed)
        UpdateBubble();
    return changed;
}

void CImageButton::UpdateBubble()
{
    PaintManager* manager = GetManager();
    if (m_bubbleMode == AIRBLADDER_MODE_NONE || !manager || GetTitle().IsEmpty())
        return;
    if (GetState() != STATE_HOVER)
    {
        manager->ShowAirBladder(0, 0);
        return;
    }
    const CRect rc = GetRect();
    POINT anchor = {m_bubbleMode == AIRBLADDER_MODE_2 ? rc.left : rc.right, rc.top + rc.Height() / 2};
    ::ClientToScreen(manager->GetPaintWnd(), &anchor);
    manager->SetAirBladderMsg(GetTitle().GetString(), anchor, MAirBladder::kHoverTipType, m_bubbleMode);
    manager->ShowAirBladder(1, 0);
}

} // namespace Tessel
