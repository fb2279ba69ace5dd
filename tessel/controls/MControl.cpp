#include "tessel/controls/MControl.h"

#include "tessel/paint/PaintManager.h"

#include <algorithm>
#include <cwchar>

namespace Tessel
{

namespace
{

// Children with these ids are a scrolling container's scroll bars: they live in window
// coordinates, not in the container's scrolled content.
constexpr UINT kVerticalScrollBarId = 1;
constexpr UINT kHorizontalScrollBarId = 2;

struct NamedCursor
{
    const wchar_t* name;
    const wchar_t* id;
};

const NamedCursor kCursors[] = {
    {L"arrow", IDC_ARROW},   {L"wait", IDC_WAIT}, {L"cross", IDC_CROSS}, {L"sizewe", IDC_SIZEWE},
    {L"sizens", IDC_SIZENS}, {L"hand", IDC_HAND}, {L"help", IDC_HELP},
};

} // namespace

MControl::MControl(MObject* parent, UINT id, CRect rect, int visible, int enabled, int mouseResponse)
    : m_parent(parent), m_id(id), m_rect(rect), m_visible(visible), m_enabled(enabled),
      m_response(mouseResponse)
{
}

MControl::~MControl()
{
    // The manager must never keep pointing at a control that is gone.
    if (m_manager && m_manager->GetFocusControl() == this)
        m_manager->SetFocusControl(nullptr);
    DeleteChildren();
}

// --- Virtual operations

const wchar_t* MControl::GetClassNameW() const
{
    return L"MControl";
}

void MControl::InitControl(PaintManager*) {}

int MControl::OnScroll(int delta, UINT flags, CPoint point)
{
    if (!IsVisible() || !GetRresponse() || !IsEnabled())
        return 0;
    if (m_hover && m_hover->PtInRect(point) && m_hover->OnCheckMouseResponse(flags, point))
        return m_hover->OnScroll(delta, flags, point);
    if (!GetRect().PtInRect(point))
        return 0;
    if (OnControlScroll(delta, flags, point))
        return 1;
    CsLock lock(m_childLock);
    for (MControl* child : m_children)
    {
        if (child->PtInRect(point) && child->OnScroll(delta, flags, point))
            return 1;
    }
    return 0;
}

int MControl::PtInRect(CPoint point)
{
    return IsVisible() && GetRect().PtInRect(point) ? 1 : 0;
}

int MControl::DrawSubControls(HDC& dc, CRect clip)
{
    CsLock lock(m_childLock);
    for (MControl* child : m_children)
    {
        if (child->IsVisible())
            child->Draw(dc, clip);
    }
    return 1;
}

int MControl::IsDraw(CPoint)
{
    return 0;
}

void MControl::SetUpdate(int update, unsigned long value)
{
    m_update = update;
    const CRect own = GetRect();
    // Repaint requests may come from the timer thread while the window thread changes the list.
    CsLock lock(m_childLock);
    for (MControl* child : m_children)
    {
        if (child->GetRect().Intersects(own))
            child->SetUpdate(update, value);
    }
}

int MControl::SetControlFocus(int focus)
{
    if (!focus)
    {
        CsLock lock(m_childLock);
        for (MControl* child : m_children)
            child->SetControlFocus(0);
    }
    return 0;
}

void MControl::InitUI(CRect) {}

int MControl::OnMousePointChange(CPoint&)
{
    return 0;
}

int MControl::OnCheckMouseResponse(UINT, CPoint)
{
    return 1;
}

LRESULT MControl::OnWindowMessage(UINT, WPARAM, LPARAM)
{
    return 0;
}

LONG MControl::OnMessage(UINT, UINT, UINT, LONG)
{
    return 0;
}

void MControl::SetControlRect(CRect rect)
{
    CsLock lock(m_rectLock);
    m_rect = rect;
}

void MControl::SetControlVisible(int visible)
{
    m_visible = visible;
}

void MControl::SetControlWndVisible(int) {}

void MControl::SetControlEnabled(int enabled)
{
    m_enabled = enabled;
}

int MControl::OnControlTimer()
{
    return 0;
}

BitmapHandle MControl::GetControlDropBitmap()
{
    return BitmapHandle();
}

int MControl::OnControlMouseMove(UINT, CPoint)
{
    return 0;
}

int MControl::OnControlSetCursor(UINT, CPoint point)
{
    HCURSOR cursor = m_cursor.load();
    if (!cursor || !GetRect().PtInRect(point))
        return 0;
    ::SetCursor(cursor);
    return 1;
}

int MControl::OnControlLButtonDown(UINT, CPoint)
{
    return 0;
}

int MControl::OnControlLButtonUp(UINT, CPoint)
{
    return 0;
}

int MControl::OnControlLButtonDblClk(UINT, CPoint)
{
    return 0;
}

int MControl::OnControlScroll(int, UINT, CPoint)
{
    return 0;
}

int MControl::OnControlRButtonDown(UINT, CPoint)
{
    return 0;
}

int MControl::OnControlRButtonUp(UINT, CPoint)
{
    return 0;
}

int MControl::OnControlRButtonDblClk(UINT, CPoint)
{
    return 0;
}

int MControl::OnControlKeyDown(UINT key, UINT, UINT flags)
{
    return m_hotKey != 0 && key == m_hotKey && flags == m_hotKeyModifiers ? 1 : 0;
}

void MControl::OnPositionChange() {}

void MControl::InvalidateRect(const RECT*, int erase)
{
    if (!m_manager)
        return;
    HWND hwnd = m_manager->GetPaintWnd();
    if (!hwnd || !::IsWindow(hwnd))
        return;
    if (m_manager->IsLayered())
    {
        // A layered window is always presented whole.
        ::InvalidateRect(hwnd, nullptr, TRUE);
        return;
    }
    const CRect area = GetRect();
    ::InvalidateRect(hwnd, &area, erase);
}

// --- Owner, geometry and flags

void MControl::SetManager(PaintManager* manager)
{
    m_manager = manager;
    InitControl(manager);
}

CRect MControl::GetRect() const
{
    CsLock lock(m_rectLock);
    return m_rect;
}

void MControl::SetRect(CRect rect)
{
    const CRect repaint = GetRect() | rect;
    SetControlRect(rect);
    if (IsVisible())
        RepaintThroughParent(repaint, 1);
}

void MControl::SetRect(int x, int y, int width, int height)
{
    SetRect(CRect(x, y, x + width, y + height));
}

void MControl::SetVisible(int visible)
{
    SetVisible(visible, 1);
}

void MControl::SetVisible(int visible, int repaint)
{
    if ((IsVisible() != 0) == (visible != 0))
        return;
    SetControlVisible(visible);
    // Also when hiding: what was beneath must be drawn again.
    if (repaint)
        RepaintThroughParent(GetRect(), 1);
}

int MControl::IsParentVisible()
{
    if (!m_parent)
        return 0;
    if (m_parent->IsClass(L"MDialog"))
        return 1;
    auto* parent = dynamic_cast<MControl*>(m_parent);
    if (!parent)
        return 0;
    return parent->IsVisible() && parent->IsParentVisible() ? 1 : 0;
}

void MControl::SetEnabled(int enabled)
{
    if ((IsEnabled() != 0) == (enabled != 0))
        return;
    SetControlEnabled(enabled);
    if (IsVisible())
        RepaintThroughParent(GetRect(), 1);
}

void MControl::SetHotKey(UINT key, UINT modifiers) noexcept
{
    m_hotKey = key;
    m_hotKeyModifiers = modifiers;
}

int MControl::SetCursorEx(const wchar_t* name)
{
    if (!name)
        return 0;
    for (const NamedCursor& cursor : kCursors)
    {
        if (std::wcscmp(cursor.name, name) == 0)
        {
            m_cursor = ::LoadCursorW(nullptr, cursor.id);
            break;
        }
    }
    return 0;
}

// --- Repaint requests and notifications

void MControl::RepaintThroughParent(CRect rect, int update)
{
    if (m_parent)
        m_parent->OnControlUpdate(rect, update, this);
}

void MControl::UpdateControl(int update, int force)
{
    if (IsVisible() || force)
        RepaintThroughParent(GetRect(), update);
}

void MControl::UpdateControl(CRect rect, int force, int update)
{
    if (IsVisible() || force)
        RepaintThroughParent(rect, update);
}

void MControl::UpdateAControl(int update, int force)
{
    if (IsVisible() || force)
    {
        m_animate = update ? 0 : 1;
        RepaintThroughParent(GetRect(), 0);
    }
}

LONG MControl::SendMessageW(UINT code, UINT wParam, LONG lParam)
{
    return m_parent ? m_parent->OnBaseMessage(m_id, code, wParam, lParam) : 0;
}

// --- Children

void MControl::AddControl(MControl* child)
{
    if (!child)
        return;
    if (m_manager && !child->GetManager())
        child->SetManager(m_manager);
    CsLock lock(m_childLock);
    m_children.push_back(child);
}

void MControl::AddEmbeddedControl(MControl* control)
{
    if (!control)
        return;
    if (m_manager && !control->GetManager())
        control->SetManager(m_manager);
    CsLock lock(m_embeddedLock);
    m_embedded.push_back(control);
}

MControl* MControl::GetControl(UINT id)
{
    for (MControl* child : m_children)
    {
        if (child->GetControlID() == id)
            return child;
        if (MControl* found = child->GetControl(id))
            return found;
    }
    for (MControl* embedded : m_embedded)
    {
        if (embedded->GetControlID() == id)
            return embedded;
        if (MControl* found = embedded->GetControl(id))
            return found;
    }
    return nullptr;
}

int MControl::RemoveControl(MControl* child)
{
    {
        CsLock lock(m_childLock);
        if (std::find(m_children.begin(), m_children.end(), child) == m_children.end())
            return 0;
    }
    if (m_manager)
    {
        if (m_manager->GetFocusControl() == child)
            m_manager->SetFocusControl(nullptr);
        // Outside the child lock: the timer thread takes the manager's locks before ours.
        m_manager->KillTimer(child);
        while (m_manager->DeleteFSTimer(child))
        {
        }
    }
    CsLock lock(m_childLock);
    auto found = std::find(m_children.begin(), m_children.end(), child);
    if (found != m_children.end())
    {
        if (m_hover == child)
            m_hover = nullptr;
        m_children.erase(found);
        delete child;
    }
    return 0;
}

void MControl::RemoveAllControl()
{
    DeleteChildren();
}

void MControl::DeleteChildren()
{
    {
        CsLock lock(m_embeddedLock);
        for (MControl* embedded : m_embedded)
            delete embedded;
        m_embedded.clear();
    }
    CsLock lock(m_childLock);
    m_hover = nullptr;
    for (MControl* child : m_children)
        delete child;
    m_children.clear();
}

// --- Tooltips

void MControl::SetTooltip(const wchar_t* text)
{
    CsLock lock(m_tooltipLock);
    m_tooltip = text;
}

void MControl::SetTooltip(CString text, CRect rect)
{
    if (!m_manager)
        return;
    m_manager->SetTooltip(text.GetString(), rect);
    m_manager->SetTooltipCtrlID(static_cast<int>(m_id));
}

void MControl::ClearTooltip()
{
    if (!m_manager)
        return;
    m_manager->ClearTooltip();
    m_manager->SetTooltipCtrlID(0);
}

CString MControl::GetTooltip() const
{
    CsLock lock(m_tooltipLock);
    return m_tooltip;
}

// --- Entry points

int MControl::Draw(HDC& dc, CRect clip)
{
    const CRect own = GetRect();
    if (!IsVisible() || !own.Intersects(clip))
        return 0;
    {
        CsLock lock(m_embeddedLock);
        for (MControl* embedded : m_embedded)
        {
            if (embedded->GetRect().Intersects(own))
                embedded->Draw(dc, clip);
        }
    }
    DrawControl(dc, clip);
    DrawSubControls(dc, clip);
    return 1;
}

CPoint MControl::PointFor(const MControl* child, const CPoint& original, const CPoint& converted)
{
    const UINT id = child->GetControlID();
    return id == kVerticalScrollBarId || id == kHorizontalScrollBarId ? original : converted;
}

int MControl::OnMouseMove(UINT flags, CPoint point)
{
    if (!IsVisible() || !GetRresponse())
        return 0;
    const CPoint original = point;
    CPoint converted = point;
    OnMousePointChange(converted);

    if (m_hover)
    {
        const CPoint p = PointFor(m_hover, original, converted);
        if ((m_hover->PtInRect(p) && m_hover->OnCheckMouseResponse(flags, p)) || m_pressedInside)
            return m_hover->OnMouseMove(flags, p) ? 1 : 0;
    }
    MControl* previous = m_hover;
    m_hover = nullptr;

    if (m_manager && m_manager->GetTooltipCtrlID() != static_cast<int>(m_id))
    {
        const CString tip = GetTooltip();
        const CRect own = GetRect();
        if (!tip.IsEmpty() && own.PtInRect(converted) && OnCheckMouseResponse(flags, converted))
            SetTooltip(tip, own);
    }

    OnControlSetCursor(flags, converted);
    int result = OnControlMouseMove(flags, converted);
    if (m_pressedInside)
        return result;

    CsLock lock(m_childLock);
    for (MControl* child : m_children)
    {
        const CPoint p = PointFor(child, original, converted);
        if (child->OnMouseMove(flags, p))
        {
            result = 1;
            if (child->PtInRect(p))
                m_hover = child;
        }
    }
    return previous || m_hover ? 1 : result;
}

int MControl::RouteButtonDown(Button button, UINT flags, CPoint point)
{
    if (!IsVisible() || !GetRresponse())
        return 0;
    CPoint converted = point;
    OnMousePointChange(converted);
    m_pressedInside = GetRect().PtInRect(converted) ? 1 : 0;
    {
        CsLock lock(m_childLock);
        MControl* found = nullptr;
        for (MControl* child : m_children)
        {
            const CPoint p = PointFor(child, point, converted);
            if (child->PtInRect(p) && child->IsVisible() && child->IsEnabled() && child->GetRresponse())
                found = child;
        }
        if (found)
            m_hover = found;
    }
    if (m_hover)
    {
        const CPoint p = PointFor(m_hover, point, converted);
        const int result =
            button == Button::Left ? m_hover->OnLButtonDown(flags, p) : m_hover->OnRButtonDown(flags, p);
        return result ? 1 : 0;
    }
    if (m_manager && m_manager->GetFocusControl() != this)
        m_manager->SetFocusControl(this);
    return button == Button::Left ? OnControlLButtonDown(flags, converted)
                                  : OnControlRButtonDown(flags, converted);
}

int MControl::RouteButtonUp(Button button, UINT flags, CPoint point)
{
    m_pressedInside = 0;
    CPoint converted = point;
    OnMousePointChange(converted);
    if (m_hover)
    {
        const CPoint p = PointFor(m_hover, point, converted);
        const int result =
            button == Button::Left ? m_hover->OnLButtonUp(flags, p) : m_hover->OnRButtonUp(flags, p);
        return result ? 1 : 0;
    }
    return button == Button::Left ? OnControlLButtonUp(flags, converted)
                                  : OnControlRButtonUp(flags, converted);
}

int MControl::RouteDblClk(Button button, UINT flags, CPoint point)
{
    m_pressedInside = 0;
    CPoint converted = point;
    OnMousePointChange(converted);
    const bool left = button == Button::Left;
    if (!m_hover)
    {
        if (!m_dblClk)
            return left ? OnControlLButtonDown(flags, converted) : OnControlRButtonDown(flags, converted);
        return left ? OnControlLButtonDblClk(flags, converted) : OnControlRButtonDblClk(flags, converted);
    }
    MControl* child = m_hover;
    const CPoint p = PointFor(child, point, converted);
    int result = left ? child->OnLButtonDblClk(flags, p) : child->OnRButtonDblClk(flags, p);
    if (!result && !child->GetDblClk())
        result = left ? child->OnLButtonDown(flags, p) : child->OnRButtonDown(flags, p);
    return result ? 1 : 0;
}

int MControl::OnLButtonDown(UINT flags, CPoint point)
{
    return RouteButtonDown(Button::Left, flags, point);
}

int MControl::OnLButtonUp(UINT flags, CPoint point)
{
    return RouteButtonUp(Button::Left, flags, point);
}

int MControl::OnLButtonDblClk(UINT flags, CPoint point)
{
    return RouteDblClk(Button::Left, flags, point);
}

int MControl::OnRButtonDown(UINT flags, CPoint point)
{
    return RouteButtonDown(Button::Right, flags, point);
}

int MControl::OnRButtonUp(UINT flags, CPoint point)
{
    return RouteButtonUp(Button::Right, flags, point);
}

int MControl::OnRButtonDblClk(UINT flags, CPoint point)
{
    return RouteDblClk(Button::Right, flags, point);
}

int MControl::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (!IsVisible() || !GetRresponse())
        return 0;
    CsLock lock(m_childLock);
    for (MControl* child : m_children)
    {
        if (child->IsFocused())
            return child->OnKeyDown(key, repeat, flags);
    }
    if (m_hover && m_hover->OnKeyDown(key, repeat, flags))
        return 1;
    if (OnControlKeyDown(key, repeat, flags))
        return 1;
    for (MControl* child : m_children)
    {
        if (child->OnKeyDown(key, repeat, flags))
            return 1;
    }
    return 0;
}

int MControl::OnKeyUp(UINT, UINT, UINT)
{
    return 0;
}

int MControl::OnTimer()
{
    int result = OnControlTimer() ? 1 : 0;
    CsLock lock(m_childLock);
    for (MControl* child : m_children)
    {
        if (child->IsRunTimer() && child->IsVisible() && child->OnTimer())
            result = 1;
    }
    return result;
}

int MControl::OnFocus(int focus)
{
    return SetControlFocus(focus);
}

int MControl::IsFocusControl()
{
    return m_manager && m_manager->GetFocusControl() == this ? 1 : 0;
}

void MControl::AddMTimer()
{
    if (m_manager)
        m_manager->AddMTimer(this);
}

// --- Surfaces

void MControl::UpdateMemDC(HDC& reference, int width, int height)
{
    m_memSurface.Resize(reference, width, height);
    m_update = 1;
}

void MControl::UpdateAnimateDC(HDC& reference, int width, int height)
{
    m_animateSurface.Resize(reference, width, height);
    m_animate = 1;
}

void MControl::CopyWindowToMemDC(HDC& dc, int cellX)
{
    if (!m_memSurface.IsValid())
        return;
    const CRect rc = GetRect();
    ::BitBlt(m_memSurface.GetDC(), cellX, 0, rc.Width(), rc.Height(), dc, rc.left, rc.top, SRCCOPY);
}

void MControl::CopyMemDCToWindow(HDC& dc, int srcX)
{
    if (!m_memSurface.IsValid())
        return;
    const CRect rc = GetRect();
    ::BitBlt(dc, rc.left, rc.top, rc.Width(), rc.Height(), m_memSurface.GetDC(), srcX, 0, SRCCOPY);
}

} // namespace Tessel
