#include "tessel/window/MDialog.h"

#include "tessel/controls/MControl.h"
#include "tessel/window/HookTable.h"

namespace Tessel
{

MDialog::MDialog() : m_tooltipCtrlId(0) {}

MDialog::~MDialog()
{
    // A window outliving its object would call into freed memory: close it while the hooks and
    // the paint manager still exist.
    if (HasWindow())
        DestroyWindow();
}

LRESULT MDialog::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_ERASEBKGND)
        return 1;
    if (msg == WM_USER_CLOSE)
        return OnUserCloseWindow(wParam, lParam);
    CallHook(*this, msg, wParam, lParam);
    // The hook has seen it; the manager routes it (and cannot be stopped from the hooks).
    const LRESULT handled = m_paintManager.OnWindowMessage(msg, wParam, lParam);
    if (handled)
        return handled;
    return MWindow::OnWindowMessage(msg, wParam, lParam);
}

int MDialog::PreTranslateMessage(MSG* msg)
{
    return m_paintManager.PreTranslateMessage(msg) ? 1 : 0;
}

int MDialog::OnInitDialog()
{
    m_paintManager.Init(m_hWnd, this);
    if (m_hWnd)
        ::GetClientRect(m_hWnd, &m_clientRect);
    InitUI(m_clientRect);
    return 1;
}

void MDialog::OnDestroyMessage(HWND hwnd)
{
    if (hwnd && hwnd == m_paintManager.GetPaintWnd())
    {
        m_paintManager.DestroyData();
        PostNcDestroy();
    }
}

POINT MDialog::GetAirBladderPoint(MControl* control, UINT type)
{
    POINT pt{0, 0};
    if (!control)
        return pt;
    const CRect rc = control->GetRect();
    pt.y = rc.bottom;
    if (type == 1)
        pt.x = rc.left + rc.Width() / 2;
    else if (type == 2)
        pt.x = rc.right;
    else
        pt.x = rc.left;
    ClientToScreen(&pt);
    return pt;
}

void MDialog::OnMinimize()
{
    ShowWindow(SW_MINIMIZE);
}

void MDialog::OnMaximize()
{
    ShowWindow((HasWindow() && ::IsZoomed(m_hWnd)) ? SW_RESTORE : SW_MAXIMIZE);
}

void MDialog::InitUI(CRect) {}

void MDialog::UISize(CRect) {}

LONG MDialog::OnMessage(UINT, UINT, UINT, LONG)
{
    return 0;
}

LONG MDialog::OnUserCloseWindow(WPARAM wParam, LPARAM lParam)
{
    PostMessageW(WM_CLOSE, wParam, lParam);
    return 1;
}

LRESULT MDialog::OnCreate(CREATESTRUCTW*)
{
    // No system caption or sizing border: the paint manager draws everything and drags the window.
    const DWORD style = GetStyle();
    const DWORD rewritten = (style & 0xFF3BFFFFu) | 0x06000008u;
    if (rewritten != style)
    {
        ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(rewritten));
        // The frame was computed from the old style: recompute it, or a blank border stays.
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return 1;
}

LRESULT MDialog::OnSize(UINT, int, int)
{
    if (!HasWindow())
        return 0;
    ::GetClientRect(m_hWnd, &m_clientRect);
    if (m_clientRect.Width() > 1 && m_clientRect.Height() > 1)
        UISize(m_clientRect);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

LRESULT MDialog::OnMouseMove(UINT, CPoint)
{
    return 0;
}
LRESULT MDialog::OnMouseLeave(WPARAM, LPARAM)
{
    return 0;
}
LRESULT MDialog::OnMouseHover(WPARAM, LPARAM)
{
    return 0;
}
LRESULT MDialog::OnMouseWheel(UINT, short, CPoint)
{
    return 0;
}
LRESULT MDialog::OnLButtonDown(UINT, CPoint)
{
    return 0;
}
LRESULT MDialog::OnLButtonUp(UINT, CPoint)
{
    return 0;
}
LRESULT MDialog::OnLButtonDblClk(UINT, CPoint)
{
    return 0;
}
LRESULT MDialog::OnRButtonDown(UINT, CPoint)
{
    return 0;
}
LRESULT MDialog::OnRButtonUp(UINT, CPoint)
{
    return 0;
}
LRESULT MDialog::OnRButtonDblClk(UINT, CPoint)
{
    return 0;
}
LRESULT MDialog::OnKeyDown(UINT, UINT, UINT)
{
    return 0;
}
LRESULT MDialog::OnNcHitTest(CPoint)
{
    return 0;
}
LRESULT MDialog::OnGetMinMaxInfo(MINMAXINFO*)
{
    return 0;
}
LRESULT MDialog::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*)
{
    return 0;
}
LRESULT MDialog::OnNcActivate(BOOL)
{
    return 0;
}
LRESULT MDialog::OnWindowPosChanging(WINDOWPOS*)
{
    return 1;
}
LRESULT MDialog::OnWindowPosChanged(WINDOWPOS*)
{
    return 1;
}
LRESULT MDialog::OnPaint()
{
    return 0;
}
void MDialog::OnTimer(UINT) {}
LRESULT MDialog::OnNcPaint()
{
    return 0;
}
LRESULT MDialog::OnClose()
{
    return 1;
}
LRESULT MDialog::OnDestroy()
{
    return 0;
}
LRESULT MDialog::PostNcDestroy()
{
    return 0;
}

const wchar_t* MDialog::GetClassNameW() const
{
    return L"MDialog";
}

LONG MDialog::OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam)
{
    return OnMessage(id, code, wParam, lParam);
}

LONG MDialog::OnControlUpdate(CRect rect, int update, MControl* control)
{
    return m_paintManager.OnControlUpdate(rect, update, control);
}

void MDialog::DoOK()
{
    PostMessageW(WM_USER_CLOSE, IDOK, 0);
}
void MDialog::DoCancel()
{
    PostMessageW(WM_USER_CLOSE, IDCANCEL, 0);
}
void MDialog::DoClose()
{
    PostMessageW(WM_USER_CLOSE, IDCANCEL, 0);
}
void MDialog::DoYes()
{
    PostMessageW(WM_USER_CLOSE, IDYES, 0);
}
void MDialog::DoNo()
{
    PostMessageW(WM_USER_CLOSE, IDNO, 0);
}

MControl* MDialog::GetControl(UINT id)
{
    return m_paintManager.GetControl(id);
}
const std::vector<MControl*>& MDialog::GetControls() const noexcept
{
    return m_paintManager.GetControls();
}
MControl* MDialog::CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* text,
                                 int first, int second)
{
    return m_paintManager.CreateControl(1, this, className, id, rect, text, first, second);
}
MControl* MDialog::CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* text, int first,
                              int second)
{
    return m_paintManager.CreateControl(0, this, className, id, rect, text, first, second);
}
void MDialog::SetFocusControl(MControl* control)
{
    m_paintManager.SetFocusControl(control);
}
int MDialog::LoadBKImage(CString name)
{
    return m_paintManager.LoadBKImage(name);
}
int MDialog::LoadBKImage(UINT id, CString type)
{
    return m_paintManager.LoadBKImage(id, type);
}
void MDialog::SetBackMode(enumBackMode mode, int value)
{
    m_paintManager.SetBackMode(mode, value);
}
void MDialog::SetLayeredWindow(BOOL layered)
{
    m_paintManager.SetLayeredWindow(layered);
}
void MDialog::EnableWndDrag(BOOL enable)
{
    m_paintManager.EnableWndDrag(enable);
}
int MDialog::SetMTimer(UINT period)
{
    return m_paintManager.SetMTimer(period);
}
void MDialog::KillMTimer(UINT id)
{
    m_paintManager.KillMTimer(id);
}
void MDialog::KillMTimer()
{
    m_paintManager.KillMTimer();
}
int MDialog::SetTooltip(const wchar_t* text, CRect rect)
{
    return m_paintManager.SetTooltip(text, rect);
}
void MDialog::ClearTooltip()
{
    m_paintManager.ClearTooltip();
}
int MDialog::SetAirBladderMsg(const wchar_t* text, POINT pt, AIRBLADDER_TYPE type)
{
    if (pt.x == 0 || pt.y == 0)
        return 0;
    m_paintManager.SetAirBladderMsg(text, pt, type, AIRBLADDER_MODE_3);
    m_paintManager.ShowAirBladder(SW_SHOW, 0);
    return 1;
}
void MDialog::SetScrollResID(UINT vertical, UINT horizontal)
{
    m_paintManager.SetScrollResID(vertical, horizontal);
}
int MDialog::CreateShadow(int show, bool reinit)
{
    return m_paintManager.CreateShadow(show, reinit);
}
int MDialog::SetSize(int size)
{
    return m_paintManager.SetSize(size);
}
int MDialog::SetSharpness(UINT sharpness)
{
    return m_paintManager.SetSharpness(sharpness);
}
int MDialog::SetDarkness(UINT darkness)
{
    return m_paintManager.SetDarkness(darkness);
}
int MDialog::SetPosition(int x, int y)
{
    return m_paintManager.SetPosition(x, y);
}
int MDialog::SetShadowColor(DWORD color)
{
    return m_paintManager.SetShadowColor(color);
}
int MDialog::SetShadowImage(const wchar_t* name, CRect margins)
{
    return m_paintManager.SetShadowImage(name, margins);
}
int MDialog::SetShadowImage(UINT id, CRect margins)
{
    return m_paintManager.SetShadowImage(id, margins);
}
int MDialog::SetShadowShow(int show)
{
    return m_paintManager.SetShadowShow(show);
}

} // namespace Tessel
