#include "tessel/paint/PaintManager.h"

#include "tessel/controls/MControl.h"
#include "tessel/window/MWindow.h"

#include <commctrl.h>

namespace Tessel
{

namespace
{
constexpr DWORD kHoverTime = 400;
} // namespace

LRESULT PaintManager::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == PendingUpdateMessage())
    {
        RunPendingUpdates();
        return 1;
    }
    {
        CsLock lock(m_controlsLock);
        for (size_t i = 0; i < m_controls.size(); ++i)
        {
            if (m_controls[i]->OnWindowMessage(msg, wParam, lParam))
                return 0;
        }
    }

    const CPoint pt = CPoint::FromLParam(lParam);
    const UINT keys = static_cast<UINT>(wParam);
    switch (msg)
    {
    case WM_CREATE:
    case WM_DESTROY:
    case WM_SIZE:
    case WM_CHAR:
    case WM_MOUSEHOVER:
        return 1;
    case WM_PAINT:
        return OnPaint() ? 1 : 0;
    case WM_GETMINMAXINFO:
        return OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
    case WM_NCDESTROY:
        DestroyData();
        return 1;
    case WM_NCACTIVATE:
        return OnNcActivate(static_cast<BOOL>(wParam));
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        return OnKeyDown(wParam, lParam);
    case WM_KEYUP:
    case WM_SYSKEYUP:
        OnKeyUp(wParam, lParam);
        return 0;
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        // Reflected to the child window that sent it.
        if (lParam)
            return ::SendMessageW(reinterpret_cast<HWND>(lParam), msg + 0x2000, wParam, lParam);
        return 0;
    case WM_TIMER:
        OnTimer(static_cast<UINT>(wParam));
        return 0;
    case WM_MOUSEMOVE:
        return OnMouseMove(keys, pt);
    case WM_LBUTTONDOWN:
        return OnLButtonDown(keys, pt);
    case WM_LBUTTONUP:
        return OnLButtonUp(keys, pt);
    case WM_LBUTTONDBLCLK:
        return OnLButtonDblClk(keys, pt);
    case WM_RBUTTONDOWN:
        return OnRButtonDown(keys, pt);
    case WM_RBUTTONUP:
        return OnRButtonUp(keys, pt);
    case WM_RBUTTONDBLCLK:
        return OnRButtonDblClk(keys, pt);
    case WM_MOUSEWHEEL:
        return OnMouseWheel(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), pt);
    case WM_MOUSELEAVE:
        return OnMouseLeave();
    default:
        return 0;
    }
}

UINT PaintManager::ModifierCode()
{
    UINT code = 0;
    if (::GetKeyState(VK_MENU) < 0)
        code |= 0x12;
    if (::GetKeyState(VK_CONTROL) < 0)
        code |= 0x11;
    if (::GetKeyState(VK_SHIFT) < 0)
        code |= 0x10;
    return code;
}

int PaintManager::PreTranslateMessage(MSG* msg)
{
    if (!msg)
        return 0;
    if ((msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) && msg->wParam == VK_TAB)
    {
        const UINT code = ModifierCode();
        MControl* found = nullptr;
        if (code == 0)
            found = GetNextFocusableControl();
        else if (code == 0x10)
            found = GetPrevFocusableControl();
        else
            return 0;
        if (found != m_focus)
        {
            SetFocusControl(found);
            return 1;
        }
        return 0;
    }
    switch (msg->message)
    {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEWHEEL:
        if (m_hWndTooltip)
            ::SendMessageW(m_hWndTooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
        break;
    default:
        break;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Focus

bool PaintManager::IsFocusable(MControl* control) const
{
    return control && control->IsVisible() && control->IsEnabled() && control->IsTabStop();
}

void PaintManager::SetFocusControl(MControl* control)
{
    if (control == m_focus)
        return;
    if (m_focus)
        m_focus->SetControlFocus(FALSE);
    if (control)
        control->SetControlFocus(TRUE);
    m_focus = control;
}

MControl* PaintManager::GetNextFocusableControl()
{
    CsLock lock(m_controlsLock);
    bool metFocus = false;
    for (size_t i = 0; i < m_controls.size(); ++i)
    {
        MControl* c = m_controls[i];
        if (metFocus && IsFocusable(c))
            return c;
        if (c == m_focus)
            metFocus = true;
    }
    if (!metFocus && m_focus)
        return nullptr;
    for (size_t i = 0; i < m_controls.size(); ++i)
    {
        MControl* c = m_controls[i];
        if (!m_hover)
            m_hover = c;
        if (IsFocusable(c))
            return c;
    }
    return nullptr;
}

MControl* PaintManager::GetPrevFocusableControl()
{
    CsLock lock(m_controlsLock);
    bool metFocus = false;
    for (size_t i = m_controls.size(); i-- > 0;)
    {
        MControl* c = m_controls[i];
        if (metFocus && IsFocusable(c))
            return c;
        if (c == m_focus)
            metFocus = true;
    }
    if (!metFocus && m_focus)
        return nullptr;
    for (size_t i = m_controls.size(); i-- > 0;)
    {
        MControl* c = m_controls[i];
        if (!m_hover)
            m_hover = c;
        if (IsFocusable(c))
            return c;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Mouse and keys

LRESULT PaintManager::OnMouseMove(UINT keys, CPoint pt)
{
    if (!m_mouseTracking && m_hWndPaint)
    {
        TRACKMOUSEEVENT tme{};
        tme.cbSize = sizeof(tme);
        tme.dwFlags = TME_HOVER | TME_LEAVE;
        tme.hwndTrack = m_hWndPaint;
        tme.dwHoverTime = kHoverTime;
        m_mouseTracking = ::_TrackMouseEvent(&tme);
    }
    if (m_dragArmed && (keys & MK_LBUTTON))
    {
        if (TryBeginDrag(keys, pt))
            return 1;
    }
    if (m_hover)
    {
        if (m_hover->PtInRect(pt) && m_hover->OnCheckMouseResponse(keys, pt) && m_mouseTracking)
        {
            m_hover->OnMouseMove(keys, pt);
            return 1;
        }
        ClearTooltip();
    }
    // The pressed control keeps the hover until the button comes up.
    if (m_leftPressed)
        return 1;
    if (!m_mouseTracking)
    {
        m_hover = nullptr;
        return 1;
    }
    MControl* hover = nullptr;
    {
        CsLock lock(m_controlsLock);
        for (size_t i = 0; i < m_controls.size(); ++i)
        {
            MControl* c = m_controls[i];
            c->OnMouseMove(keys, pt);
            if (c->PtInRect(pt) && c->GetRresponse())
                hover = c;
        }
    }
    m_hover = hover;
    return 1;
}

LRESULT PaintManager::OnMouseLeave()
{
    ClearTooltip();
    m_mouseTracking = FALSE;
    if (m_leftPressed)
        return 1;
    if (m_hover)
        m_hover->OnMouseMove(0, CPoint(-1, -1));
    m_hover = nullptr;
    return 1;
}

LRESULT PaintManager::OnMouseHover(WPARAM, LPARAM)
{
    return 1;
}

LRESULT PaintManager::OnMouseWheel(UINT keys, short delta, CPoint screenPt)
{
    CPoint pt = screenPt;
    if (m_hWndPaint)
        ::ScreenToClient(m_hWndPaint, &pt);
    const int notches = delta / 120;
    const UINT direction = notches <= 0 ? 1 : 0;
    const int count = notches < 0 ? -notches : notches;
    (void)keys;
    bool taken = false;
    for (int n = 0; n < count; ++n)
    {
        if (m_hover && m_hover->OnScroll(1, direction, pt))
        {
            taken = true;
            continue;
        }
        CsLock lock(m_controlsLock);
        for (size_t i = 0; i < m_controls.size(); ++i)
        {
            // The direction, not the key state: a control offered the notch must know its way.
            if (m_controls[i]->OnScroll(1, direction, pt))
            {
                taken = true;
                break;
            }
        }
    }
    return taken ? 1 : 0;
}

LRESULT PaintManager::OnLButtonDown(UINT keys, CPoint pt)
{
    if (m_focus && m_focus != m_hover)
    {
        m_focus->SetControlFocus(FALSE);
        m_focus = nullptr;
    }
    MControl* hover = m_hover;
    if (hover && hover->IsVisible() && hover->GetRresponse() && hover->PtInRect(pt) &&
        hover->OnCheckMouseResponse(keys, pt))
    {
        if (hover->IsDragDrop() && hover->IsEnabled())
        {
            m_dragBitmap = hover->GetControlDropBitmap();
            m_dragArmed = true;
            m_lastMousePt = pt;
        }
        m_leftPressed = TRUE;
        m_focus = hover;
        const int taken = hover->OnLButtonDown(keys, pt);
        if (!m_captured && m_hover && m_hover->OnCheckMouseResponse(keys, pt))
        {
            SetCapture();
            return 1;
        }
        if (taken)
            return 1;
    }
    if (m_wndDrag && m_hWndPaint)
    {
        // The background was grabbed: let the system move the window with the mouse.
        ReleaseCapture();
        ::SendMessageW(m_hWndPaint, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pt.x, pt.y));
    }
    return 1;
}

void PaintManager::DeliverToHover(int (MControl::*handler)(UINT, CPoint), UINT keys, CPoint pt)
{
    if (!m_hover)
        return;
    if (!m_hover->IsVisible() || !m_hover->GetRresponse())
    {
        m_hover = nullptr;
        return;
    }
    // The handler may move the control; hover is judged against where it was when the event came.
    const CRect rc = m_hover->GetRect();
    (m_hover->*handler)(keys, pt);
    if (!rc.PtInRect(pt))
        m_hover = nullptr;
}

LRESULT PaintManager::OnLButtonUp(UINT keys, CPoint pt)
{
    if (m_captured)
        ReleaseCapture();
    m_leftPressed = FALSE;
    // A press that never became a drag must not start one on a later press elsewhere.
    m_dragArmed = false;
    DeliverToHover(&MControl::OnLButtonUp, keys, pt);
    return 1;
}

LRESULT PaintManager::OnLButtonDblClk(UINT keys, CPoint pt)
{
    DeliverToHover(&MControl::OnLButtonDblClk, keys, pt);
    return 1;
}

LRESULT PaintManager::OnRButtonDown(UINT keys, CPoint pt)
{
    if (m_focus && m_focus != m_hover)
    {
        m_focus->SetControlFocus(FALSE);
        m_focus = nullptr;
    }
    MControl* hover = m_hover;
    if (hover && hover->PtInRect(pt) && hover->OnCheckMouseResponse(keys, pt))
    {
        m_focus = hover;
        hover->OnRButtonDown(keys, pt);
        if (!m_captured && m_hover && m_hover->OnCheckMouseResponse(keys, pt))
            SetCapture();
    }
    return 1;
}

LRESULT PaintManager::OnRButtonUp(UINT keys, CPoint pt)
{
    if (m_captured)
        ReleaseCapture();
    DeliverToHover(&MControl::OnRButtonUp, keys, pt);
    return 1;
}

LRESULT PaintManager::OnRButtonDblClk(UINT keys, CPoint pt)
{
    DeliverToHover(&MControl::OnRButtonDblClk, keys, pt);
    return 1;
}

LRESULT PaintManager::OnKeyDown(WPARAM vk, LPARAM)
{
    const UINT code = ModifierCode();
    const UINT key = static_cast<UINT>(vk);
    if (m_hover && m_hover->OnKeyDown(key, 1, code))
        return 1;
    CsLock lock(m_controlsLock);
    for (size_t i = 0; i < m_controls.size(); ++i)
    {
        if (m_controls[i]->OnKeyDown(key, 1, code))
            break;
    }
    return 1;
}

LRESULT PaintManager::OnKeyUp(WPARAM, LPARAM)
{
    return 0;
}

LRESULT PaintManager::OnNcActivate(BOOL active)
{
    m_active = active;
    if (!active)
    {
        m_mouseTracking = FALSE;
        m_captured = FALSE;
        if (m_leftPressed)
        {
            m_leftPressed = FALSE;
            if (m_hover)
                m_hover->OnLButtonUp(0, CPoint(-1, -1));
        }
        else if (m_hover)
            m_hover->OnMouseMove(0, CPoint(-1, -1));
        m_hover = nullptr;
    }
    CRect client;
    GetClientRect(client);
    InvalidateRect(client, FALSE);
    return 1;
}

LRESULT PaintManager::OnGetMinMaxInfo(MINMAXINFO* info)
{
    if (!info)
        return 1;
    if (m_minSize.cx > 0)
        info->ptMinTrackSize.x = m_minSize.cx;
    if (m_minSize.cy > 0)
        info->ptMinTrackSize.y = m_minSize.cy;
    if (m_maxSize.cx > 0)
    {
        info->ptMaxTrackSize.x = m_maxSize.cx;
        info->ptMaxSize.x = m_maxSize.cx;
    }
    if (m_maxSize.cy > 0)
    {
        info->ptMaxTrackSize.y = m_maxSize.cy;
        info->ptMaxSize.y = m_maxSize.cy;
    }
    return 1;
}

LRESULT PaintManager::OnCreate(CREATESTRUCTW*)
{
    return 1;
}
LRESULT PaintManager::OnSize(UINT, int, int)
{
    return 1;
}
LRESULT PaintManager::OnNcHitTest(CPoint)
{
    return 1;
}
LRESULT PaintManager::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*)
{
    return 1;
}
LRESULT PaintManager::OnNcPaint()
{
    return 1;
}
LRESULT PaintManager::OnDestroy()
{
    return 1;
}
LRESULT PaintManager::OnWindowPosChanging(WINDOWPOS*)
{
    return 1;
}

LRESULT PaintManager::OnWindowPosChanged(WINDOWPOS* pos)
{
    if (!pos || !m_hWndPaint)
        return 1;
    // The frame first, so that the client sizes below follow it. A change that is itself a frame
    // change does not start another, so routing this message here cannot loop.
    if (!(pos->flags & SWP_FRAMECHANGED))
        ::SetWindowPos(m_hWndPaint, nullptr, 0, 0, 0, 0,
                       SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!(pos->flags & SWP_NOMOVE))
        ::SendMessageW(m_hWndPaint, WM_MOVE, 0, MAKELPARAM(pos->x, pos->y));
    if (!(pos->flags & SWP_NOSIZE))
        ::SendMessageW(m_hWndPaint, WM_SIZE, SIZE_RESTORED, MAKELPARAM(pos->cx, pos->cy));
    return 1;
}

LRESULT PaintManager::PostNcDestroy()
{
    DestroyData();
    return 1;
}

} // namespace Tessel
