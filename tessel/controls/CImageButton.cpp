#include "tessel/controls/CImageButton.h"

#include "tessel/paint/PaintManager.h"
#include "tessel/window/MAirBladder.h"

#include <memory>

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
        // The frame is cut out first so that its stretched edges mirror its own pixels instead of
        // fading to transparent or picking up the neighbouring frame.
        Gdiplus::ImageAttributes edges;
        edges.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
        std::unique_ptr<Gdiplus::Bitmap> frame;
        if (m_image->GetType() == Gdiplus::ImageTypeBitmap)
            frame.reset(static_cast<Gdiplus::Bitmap*>(m_image)->Clone(
                Gdiplus::Rect(m_frameWidth * cell, 0, m_frameWidth, m_frameHeight), PixelFormat32bppARGB));
        if (frame && frame->GetLastStatus() == Gdiplus::Ok)
            g.DrawImage(frame.get(), Gdiplus::Rect(cell * width, 0, width, height), 0, 0, m_frameWidth,
                        m_frameHeight, Gdiplus::UnitPixel, &edges);
        else
            g.DrawImage(m_image, Gdiplus::Rect(cell * width, 0, width, height), m_frameWidth * cell, 0,
                        m_frameWidth, m_frameHeight, Gdiplus::UnitPixel);
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
