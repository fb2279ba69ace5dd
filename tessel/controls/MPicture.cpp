#include "tessel/controls/MPicture.h"

#include "tessel/render/SurfaceCanvas.h"
#include "tessel/render/MRender.h"
#include "tessel/render/Manager.h"

#include <algorithm>

namespace Tessel
{

MPicture::MPicture(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_frameCount = 1;
}

MPicture::~MPicture()
{
    m_image = nullptr;
}

void MPicture::TakeImage(std::unique_ptr<Gdiplus::Image> image, int frameCount)
{
    m_ownImage = std::move(image);
    m_image = m_ownImage.get();
    if (!m_ownImage)
        return;
    // A zero frame count would divide by zero; one frame is what such a caller means.
    const int count = std::max(frameCount, 1);
    m_frameWidth = static_cast<int>(m_ownImage->GetWidth()) / count;
    m_frameHeight = static_cast<int>(m_ownImage->GetHeight());
    m_frameCount = count;
}

int MPicture::SetImage(const wchar_t* file, int frameCount)
{
    TakeImage(nullptr, frameCount);
    TakeImage(MRender::LoadImageFromFile(Manager::GetSkinFolder() + (file ? file : L"")), frameCount);
    if (IsVisible())
        UpdateControl(1, 0);
    return m_ownImage ? 1 : 0;
}

int MPicture::SetImage(UINT id, CString type, int frameCount)
{
    TakeImage(nullptr, frameCount);
    TakeImage(MRender::LoadImageFromIDResource(id, type, Manager::GetInstance()), frameCount);
    if (!m_ownImage)
        return 0;
    if (IsVisible())
        UpdateControl(1, 0);
    return 1;
}

int MPicture::SetShowMode(enumShowMode mode, int border)
{
    if (mode == m_showMode && (mode != SHOW_MODE_FRAME || border == m_border))
        return 0;
    m_showMode = mode;
    m_border = border;
    if (IsVisible())
        UpdateControl(1, 0);
    return 1;
}

int MPicture::SetShowModeMID(int left, int top, int right, int bottom)
{
    m_insetLeft = left;
    m_insetTop = top;
    m_insetRight = right;
    m_insetBottom = bottom;
    m_showMode = SHOW_MODE_FRAME_MID;
    if (IsVisible())
        UpdateControl(1, 0);
    return 1;
}

int MPicture::DrawControl(HDC& dc, CRect)
{
    const CRect rc = GetRect();
    if (rc.IsRectEmpty())
        return 0;
    if (!GetUpdate() || !GetMemSurface().IsValid())
    {
        UpdateMemDC(dc, rc.Width(), rc.Height());
        CopyWindowToMemDC(dc, 0);
        if (m_ownImage)
        {
            SurfaceCanvas canvas(GetMemSurface());
            if (canvas.IsValid())
                Render(canvas.Graphics(), rc.Width(), rc.Height());
        }
    }
    CopyMemDCToWindow(dc, 0);
    return 1;
}

void MPicture::Render(Gdiplus::Graphics& g, int width, int height)
{
    Gdiplus::Image* image = m_ownImage.get();
    const int fw = m_frameWidth, fh = m_frameHeight;
    if (fw <= 0 || fh <= 0)
        return;
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    switch (m_showMode)
    {
    case SHOW_MODE_NORMAL:
    {
        UINT hAlign = 0, vAlign = 0;
        GetAlignment(hAlign, vAlign);
        const int x = hAlign == 0 ? 0 : hAlign == 2 ? width - fw : (width - fw) / 2;
        const int y = vAlign == 0 ? 0 : vAlign == 8 ? height - fh : (height - fh) / 2;
        g.DrawImage(image, Gdiplus::Rect(x, y, fw, fh), 0, 0, fw, fh, Gdiplus::UnitPixel);
        break;
    }
    case SHOW_MODE_TILE:
        for (int y = 0; y < height; y += fh)
        {
            for (int x = 0; x < width; x += fw)
            {
                const int w = std::min(fw, width - x), h = std::min(fh, height - y);
                g.DrawImage(image, Gdiplus::Rect(x, y, w, h), 0, 0, w, h, Gdiplus::UnitPixel);
            }
        }
        break;
    case SHOW_MODE_STRETCH:
        g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        MRender::DrawImageStretched(g, image, CRect(0, 0, width, height), 0, 0, fw, fh);
        break;
    case SHOW_MODE_FRAME:
        MRender::DrawImageFrame(g, image, CRect(0, 0, width, height), 0, 0, fw, fh, m_border);
        break;
    case SHOW_MODE_FRAME_MID:
        MRender::DrawImageFrameMID(g, image, CRect(0, 0, width, height), 0, 0, fw, fh, m_insetLeft,
                                   m_insetTop, m_insetRight, m_insetBottom);
        break;
    case SHOW_MODE_CUSTOM:
        g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        MRender::DrawImageStretched(g, image, CRect(0, 0, width, height), m_customRect.left, m_customRect.top,
                                    m_customRect.Width(), m_customRect.Height());
        break;
    }
}

} // namespace Tessel
