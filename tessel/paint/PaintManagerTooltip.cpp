#include "tessel/paint/PaintManager.h"

#include "tessel/controls/MControlFont.h"

#include <commctrl.h>

namespace Tessel
{

namespace
{
constexpr UINT_PTR kToolId = 1313;
constexpr int kMaxTipWidth = 256;
constexpr UINT kChineseCodePage = 936;
constexpr BYTE kCaretAlpha = 0xFE;

TTTOOLINFOW ToolInfo(HWND owner, UINT flags, const wchar_t* text)
{
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = flags;
    ti.hwnd = owner;
    ti.uId = kToolId;
    ti.lpszText = const_cast<wchar_t*>(text);
    return ti;
}
} // namespace

int PaintManager::SetTooltip(const wchar_t* text, CRect)
{
    if (!text || !*text)
    {
        if (!m_hWndTooltip)
            return 0;
        TTTOOLINFOW ti = ToolInfo(m_hWndPaint, TTF_PARSELINKS, L"");
        ::SendMessageW(m_hWndTooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
        ::SendMessageW(m_hWndTooltip, TTM_ACTIVATE, FALSE, 0);
        return 1;
    }
    if (!m_hWndPaint)
        return 0;
    if (!m_hWndTooltip)
    {
        m_hWndTooltip = ::CreateWindowExW(
            WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWndPaint, nullptr, nullptr, nullptr);
        if (!m_hWndTooltip)
            return 0;
        ::SendMessageW(m_hWndTooltip, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
        ::SendMessageW(m_hWndTooltip, TTM_SETTIPTEXTCOLOR, RGB(0xFF, 0xFF, 0xFF), 0);
        TTTOOLINFOW ti = ToolInfo(m_hWndPaint, TTF_PARSELINKS, text);
        ::GetClientRect(m_hWndPaint, &ti.rect);
        m_tooltipToolAdded =
            ::SendMessageW(m_hWndTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
        ::SendMessageW(m_hWndTooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
        if (::GetACP() == kChineseCodePage)
        {
            RECT margin{2, 3, 0, 0};
            ::SendMessageW(m_hWndTooltip, TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
        }
        ::SendMessageW(m_hWndTooltip, TTM_ACTIVATE, TRUE, 0);
        return 1;
    }
    TTTOOLINFOW ti = ToolInfo(m_hWndPaint, TTF_PARSELINKS | TTF_ABSOLUTE | TTF_TRACK, text);
    ::SendMessageW(m_hWndTooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    ::SendMessageW(m_hWndTooltip, TTM_ACTIVATE, TRUE, 0);
    return 1;
}

void PaintManager::ClearTooltip()
{
    if (!m_hWndTooltip)
        return;
    TTTOOLINFOW ti = ToolInfo(m_hWndPaint, TTF_PARSELINKS, L"");
    ::SendMessageW(m_hWndTooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    ::SendMessageW(m_hWndTooltip, TTM_ACTIVATE, FALSE, 0);
    m_tooltipCtrlId = 0;
}

// ---------------------------------------------------------------------------------------------
// Caret

BOOL PaintManager::CreateCaret(HBITMAP bitmap, int width, int height)
{
    if (!m_hWndPaint)
        return FALSE;
    m_caretRect.right = m_caretRect.left + width;
    m_caretRect.bottom = m_caretRect.top + height;
    return ::CreateCaret(m_hWndPaint, bitmap, width, height);
}

BOOL PaintManager::ShowCaret(BOOL show)
{
    if (!m_hWndPaint)
        return FALSE;
    m_caretEnabled = show;
    if (show)
    {
        ::SetTimer(m_hWndPaint, kCaretTimer, ::GetCaretBlinkTime(), nullptr);
        m_caretPhase = TRUE;
    }
    else
    {
        ::KillTimer(m_hWndPaint, kCaretTimer);
        m_caretPhase = FALSE;
    }
    CaretInvalidate();
    return TRUE;
}

BOOL PaintManager::SetCaretPos(MControlFont* edit, int x, int y)
{
    if (!m_hWndPaint)
        return FALSE;
    const CRect old = m_caretRect;
    const BOOL moved = ::SetCaretPos(x, y);
    m_caretRect = CRect(x, y, x + old.Width(), y + old.Height());
    m_caretOwner = edit;
    InvalidateRect(old, FALSE);
    CaretInvalidate();
    return moved;
}

void PaintManager::CaretInvalidate()
{
    if (!m_caretRect.IsRectEmpty())
        InvalidateRect(m_caretRect, FALSE);
}

void PaintManager::DrawCaret(HDC dc, const CRect& clip)
{
    if (!m_caretOwner || !m_caretEnabled || ::GetFocus() != m_hWndPaint || !m_hWndPaint)
    {
        // Nothing to blink for: stop the blink and erase a shown caret.
        if (m_hWndPaint)
            ::KillTimer(m_hWndPaint, kCaretTimer);
        if (m_caretPhase)
        {
            m_caretPhase = FALSE;
            CaretInvalidate();
        }
        return;
    }
    if (!m_caretPhase)
        return;
    const CRect area = m_caretRect & clip;
    if (area.IsRectEmpty())
        return;
    const Gdiplus::Color text = m_caretOwner->GetTextColor();
    Gdiplus::Graphics graphics(dc);
    Gdiplus::SolidBrush brush(Gdiplus::Color(kCaretAlpha, text.GetR(), text.GetG(), text.GetB()));
    graphics.FillRectangle(&brush, area.left, area.top, area.Width(), area.Height());
}

} // namespace Tessel
