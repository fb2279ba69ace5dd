#include "tessel/controls/MText.h"

#include "tessel/render/SurfaceCanvas.h"

#include <cwchar>

namespace Tessel
{

MText::MText(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible)
    : MControlFont(parent, id, rect, title, visible, 0, 1)
{
}

MText::~MText() = default;

LONG MText::OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    OnMessage(id, code, wParam, lParam);
    return 0;
}

LONG MText::OnMessage(UINT id, UINT code, UINT, LONG)
{
    if (id == 1 && code == 8 && IsVisible())
        UpdateControl(1, 0);
    return 0;
}

void MText::SetControlRect(CRect rect)
{
    MControlFont::SetControlRect(rect);
    if (!m_scrollBar)
        return;
    if (MControl* bar = GetControl(1))
        bar->SetRect(CRect(rect.right - m_scrollWidth, rect.top, rect.right, rect.bottom));
}

int MText::OnControlScroll(int, UINT, CPoint)
{
    return 1;
}

void MText::EnableTextBack(int enable, Gdiplus::Color color)
{
    if (enable == m_textBack)
        return;
    m_textBack = enable;
    m_textBackColor = color.GetValue();
    if (IsVisible())
        UpdateControl(1, 0);
}

void MText::SetMarkText(const wchar_t* mark, Gdiplus::Color color, int mode)
{
    m_markText = mark ? mark : L"";
    m_markColor = color.GetValue();
    m_markMode = mode;
}

void MText::SetTitleMarkText(const wchar_t* title, const wchar_t* mark, int mode)
{
    SetControlTitle(title);
    m_markText = mark ? mark : L"";
    m_markMode = mode;
}

int MText::DrawControl(HDC& dc, CRect)
{
    const CRect rc = GetRect();
    if (rc.IsRectEmpty())
        return 0;
    if (!GetUpdate() || !GetMemSurface().IsValid())
    {
        UpdateMemDC(dc, rc.Width(), rc.Height());
        if (!m_textBack)
            CopyWindowToMemDC(dc, 0);
        Render(rc.Width(), rc.Height());
    }
    CopyMemDCToWindow(dc, 0);
    return 1;
}

void MText::Render(int width, int height)
{
    SurfaceCanvas canvas(GetMemSurface());
    if (!canvas.IsValid())
        return;
    if (m_textBack)
        canvas.Fill(0, 0, width, height, m_textBackColor);

    const CString title = GetTitle();
    const int length = static_cast<int>(wcslen(title.GetString()));
    if (length == 0)
        return;
    std::unique_ptr<Gdiplus::Font> font = CreateTextFont();
    if (!font)
        return;

    Gdiplus::Graphics& g = canvas.Graphics();
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);

    UINT hAlign = 0, vAlign = 0;
    GetAlignment(hAlign, vAlign);
    Gdiplus::StringFormat format;
    format.SetAlignment(hAlign == 1   ? Gdiplus::StringAlignmentCenter
                        : hAlign == 2 ? Gdiplus::StringAlignmentFar
                                      : Gdiplus::StringAlignmentNear);
    Gdiplus::StringAlignment line = vAlign == 4   ? Gdiplus::StringAlignmentCenter
                                    : vAlign == 8 ? Gdiplus::StringAlignmentFar
                                                  : Gdiplus::StringAlignmentNear;
    if (m_multiLine)
    {
        format.SetFormatFlags(Gdiplus::StringFormatFlagsNoClip |
                              Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
        if (m_vCenter)
            line = Gdiplus::StringAlignmentCenter;
    }
    else
    {
        format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap |
                              Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    }
    format.SetLineAlignment(line);

    Gdiplus::SolidBrush brush(GetTextColor());
    const Gdiplus::RectF layout(0.0f, 0.0f, static_cast<Gdiplus::REAL>(width),
                                static_cast<Gdiplus::REAL>(height));
    g.DrawString(title.GetString(), length, font.get(), layout, &format, &brush);
}

} // namespace Tessel
