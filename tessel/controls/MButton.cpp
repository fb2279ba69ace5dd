#include "tessel/controls/MButton.h"

#include "tessel/render/SurfaceCanvas.h"
#include "tessel/render/MRender.h"
#include "tessel/render/Manager.h"

#include <algorithm>
#include <cwchar>

namespace Tessel
{

namespace
{

const Gdiplus::ARGB kDisabledCaption = 0xFF808080;
const int kCells = 4;

void SetCursorTo(LPCWSTR cursor)
{
    ::SetCursor(::LoadCursorW(nullptr, cursor));
}

} // namespace

MButton::MButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MControlFont(parent, id, rect, title, visible, enabled, 1)
{
    // Centred captions; set with the parent detached, since building a control repaints nothing.
    SetParent(nullptr);
    SetAlignment(1);
    SetParent(parent);
    // A button created disabled shows its disabled cell from the start.
    if (!enabled)
        m_state = STATE_DISABLED;
}

MButton::~MButton() = default;

int MButton::SetIconImage(const wchar_t* file, int frameCount)
{
    std::unique_ptr<Gdiplus::Image> icon =
        MRender::LoadImageFromFile(Manager::GetSkinFolder() + (file ? file : L""));
    if (!icon)
        return 0;
    const int count = std::max(frameCount, 1);
    m_iconWidth = static_cast<int>(icon->GetWidth()) / count;
    m_iconHeight = static_cast<int>(icon->GetHeight());
    m_iconCount = count;
    m_icon = std::move(icon);
    return 1;
}

int MButton::DrawControl(HDC& dc, CRect)
{
    const CRect rc = GetRect();
    const int w = rc.Width(), h = rc.Height();
    if (w <= 0 || h <= 0)
        return 0;
    if (!GetUpdate() || !GetMemSurface().IsValid())
    {
        UpdateMemDC(dc, w * kCells, h);
        for (int cell = 0; cell < kCells; ++cell)
            CopyWindowToMemDC(dc, cell * w);
        SurfaceCanvas canvas(GetMemSurface());
        if (canvas.IsValid())
        {
            for (int cell = 0; cell < kCells; ++cell)
                RenderCell(canvas.Graphics(), cell, w, h);
        }
    }
    CopyMemDCToWindow(dc, w * m_state);
    return 1;
}

void MButton::RenderCell(Gdiplus::Graphics& g, int cell, int width, int height)
{
    // Missing frames (a strip of fewer than four) leave their cells empty.
    if (m_image && cell < m_frameCount && m_frameWidth > 0)
    {
        MRender::DrawImageFrame(g, m_image, CRect(cell * width, 0, (cell + 1) * width, height),
                                m_frameWidth * cell, 0, m_frameWidth, m_frameHeight, m_frameSize);
    }
    RenderCaption(g, cell, width, height);
}

void MButton::RenderCaption(Gdiplus::Graphics& g, int cell, int width, int height)
{
    const CString title = GetTitle();
    const int length = static_cast<int>(wcslen(title.GetString()));
    if (length == 0)
        return;
    std::unique_ptr<Gdiplus::Font> font = CreateTextFont();
    if (!font)
        return;
    g.SetTextRenderingHint(GetTextRenderingHint());

    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);

    CRect layout = m_textRect.IsRectEmpty() ? CRect(0, 0, width, height) : m_textRect;
    layout.OffsetRect(cell * width, 0);
    if (cell == STATE_PRESSED)
        layout.OffsetRect(1, 1);

    Gdiplus::SolidBrush brush(cell == STATE_DISABLED ? Gdiplus::Color(kDisabledCaption) : GetTextColor());
    const Gdiplus::RectF box(static_cast<Gdiplus::REAL>(layout.left), static_cast<Gdiplus::REAL>(layout.top),
                             static_cast<Gdiplus::REAL>(layout.Width()),
                             static_cast<Gdiplus::REAL>(layout.Height()));
    g.DrawString(title.GetString(), length, font.get(), box, &format, &brush);
}

int MButton::ChangeState(int state, bool click)
{
    if (state == m_state)
        return 0;
    m_state = state;
    UpdateControl(0, 0);
    if (click)
        SendMessageW(kCodeClicked, 0, 0);
    return 1;
}

void MButton::SetControlEnabled(int enabled)
{
    if ((enabled != 0) == (IsEnabled() != 0))
        return;
    MControlFont::SetControlEnabled(enabled);
    m_state = enabled ? STATE_NORMAL : STATE_DISABLED;
    if (IsVisible())
        UpdateControl(0, 0);
}

int MButton::OnControlMouseMove(UINT, CPoint point)
{
    if (!IsEnabled() || m_state == STATE_PRESSED)
        return 0;
    const bool inside = GetRect().PtInRect(point) != 0;
    SetCursorTo(inside ? IDC_HAND : IDC_ARROW);
    return ChangeState(inside ? STATE_HOVER : STATE_NORMAL, false);
}

int MButton::OnControlLButtonDown(UINT, CPoint point)
{
    if (!IsEnabled() || !GetRect().PtInRect(point))
        return 0;
    SetCursorTo(IDC_HAND);
    const int old = m_state;
    m_state = STATE_PRESSED;
    SendMessageW(kCodePressed, 0, 0);
    if (old == m_state)
        return 0;
    UpdateControl(0, 0);
    return 1;
}

int MButton::OnControlLButtonUp(UINT, CPoint point)
{
    if (!IsEnabled())
        return 0;
    if (GetRect().PtInRect(point))
        return ChangeState(STATE_HOVER, m_state == STATE_PRESSED);
    return ChangeState(STATE_NORMAL, false);
}

} // namespace Tessel
