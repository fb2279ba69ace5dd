#pragma once

#include "tessel/controls/MControlFont.h"

namespace Tessel
{

// A text label. Created disabled (it takes no clicks) but still mouse-responsive, so it can
// carry a tooltip; it draws its title in the text colour either way.
class TESSEL_API MText : public MControlFont
{
public:
    MText(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible);
    ~MText() override;

    LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    int DrawControl(HDC& dc, CRect clip) override;
    // Repaints on a notification from the scroll bar (child 1, code 8).
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    // Keeps the scroll bar (child 1) on the right edge when it is switched on.
    void SetControlRect(CRect rect) override;
    // Labels swallow the wheel.
    int OnControlScroll(int delta, UINT flags, CPoint point) override;

    // Stored only; no repaint.
    void EnableMultiLine(int enable) noexcept { m_multiLine = enable; }
    void EnableVCenter(int enable) noexcept { m_vCenter = enable; }
    void EnableShadow(int enable) noexcept { m_shadow = enable; }
    // Stores flag and colour when the flag changes and then repaints when visible.
    void EnableTextBack(int enable, Gdiplus::Color color);
    void SetMarkText(const wchar_t* mark, Gdiplus::Color color, int mode);
    void SetTitleMarkText(const wchar_t* title, const wchar_t* mark, int mode);
    int GetVirtualHeight() const noexcept { return 0; }

    int IsMultiLine() const noexcept { return m_multiLine; }
    int IsVCenter() const noexcept { return m_vCenter; }
    int IsShadow() const noexcept { return m_shadow; }
    int IsTextBack() const noexcept { return m_textBack; }
    Gdiplus::ARGB GetTextBackColor() const noexcept { return m_textBackColor; }
    CString GetMarkText() const { return m_markText; }

private:
    void Render(int width, int height);

    int m_scrollBar = 0;
    int m_scrollWidth = 8;
    int m_shadow = 0;
    int m_textBack = 0;
    Gdiplus::ARGB m_textBackColor = 0xFF008000;
    Gdiplus::ARGB m_secondColor = 0xFF505050;
    Gdiplus::ARGB m_markColor = 0xFFED801B;
    CString m_markText;
    int m_markMode = 0;
    int m_multiLine = 0;
    int m_vCenter = 0;
};

} // namespace Tessel
