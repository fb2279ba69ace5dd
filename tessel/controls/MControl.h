#pragma once

#include "tessel/TesselApi.h"
#include "tessel/render/CriticalSection.h"
#include "tessel/render/GdiObject.h"
#include "tessel/render/Surface.h"
#include "tessel/render/CPoint.h"
#include "tessel/render/CRect.h"
#include "tessel/render/CString.h"
#include "tessel/window/MObject.h"

#include <atomic>
#include <vector>

namespace Tessel
{

class PaintManager;

// Base of every windowless control. A control owns a rectangle in its window's client
// coordinates, draws itself into the window's DC when the paint manager asks, and receives
// the mouse, keyboard and timer calls the manager routes to it. Bookkeeping (hover child,
// pressed-inside, focus, tooltip) is done by the non-virtual entry points; the OnControl...
// virtuals are the overridable handlers and return nonzero when they consumed the event or
// changed visible state.
//
// Threads: painting, mouse and keys come on the window's thread; OnTimer may come on the
// multimedia-timer thread. The child and embedded lists each have a lock held for every
// walk (parent's before child's); flags read by the timer walk are atomic and the rectangle
// is guarded.
class TESSEL_API MControl : public MObject
{
public:
    MControl(MObject* parent, UINT id, CRect rect, int visible, int enabled, int mouseResponse);
    // Deletes all children and embedded controls.
    ~MControl() override;

    // --- Virtual operations, in slot order.
    const wchar_t* GetClassNameW() const override; // "MControl"
    virtual void InitControl(PaintManager* manager);
    virtual int OnScroll(int delta, UINT flags, CPoint point);
    // Visible and the point lies in the rectangle.
    virtual int PtInRect(CPoint point);
    virtual int DrawControl(HDC& dc, CRect clip) = 0;
    // Each visible child in list order; returns 1.
    virtual int DrawSubControls(HDC& dc, CRect clip);
    virtual int IsDraw(CPoint point);
    // Stores the cache flag (0 stale, 1 valid) and passes it to each child that meets this
    // control's rectangle.
    virtual void SetUpdate(int update, unsigned long value);
    // Losing focus passes it on to every child.
    virtual int SetControlFocus(int focus);
    virtual void InitUI(CRect client);
    // A scrolling container converts the point in place.
    virtual int OnMousePointChange(CPoint& point);
    virtual int OnCheckMouseResponse(UINT flags, CPoint point);
    virtual LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam);
    virtual void SetControlRect(CRect rect);
    virtual void SetControlVisible(int visible);
    virtual void SetControlWndVisible(int visible);
    virtual void SetControlEnabled(int enabled);
    virtual int OnControlTimer();
    // A bitmap of the control for dragging; the caller owns it.
    virtual BitmapHandle GetControlDropBitmap();
    virtual int OnControlMouseMove(UINT flags, CPoint point);
    // Shows the control's cursor while the point is inside.
    virtual int OnControlSetCursor(UINT flags, CPoint point);
    virtual int OnControlLButtonDown(UINT flags, CPoint point);
    virtual int OnControlLButtonUp(UINT flags, CPoint point);
    virtual int OnControlLButtonDblClk(UINT flags, CPoint point);
    virtual int OnControlScroll(int delta, UINT flags, CPoint point);
    virtual int OnControlRButtonDown(UINT flags, CPoint point);
    virtual int OnControlRButtonUp(UINT flags, CPoint point);
    virtual int OnControlRButtonDblClk(UINT flags, CPoint point);
    // Matches the hot key (key code and modifier flags); 0 when none is set.
    virtual int OnControlKeyDown(UINT key, UINT repeat, UINT flags);
    virtual void OnPositionChange();
    // Repaints the control's own rectangle in its window, whatever rect names (a layered window:
    // all of it, erased); rect stays for the slot's signature.
    virtual void InvalidateRect(const RECT* rect, int erase);

    // --- Owner and identity.
    MObject* GetParantObject() const noexcept { return m_parent; }
    void SetParent(MObject* parent) noexcept { m_parent = parent; }
    PaintManager* GetManager() const noexcept { return m_manager; }
    // Stores the manager and calls InitControl with it.
    void SetManager(PaintManager* manager);
    UINT GetControlID() const noexcept { return m_id; }

    // --- Geometry and flags. Setters that change what is shown ask the parent to repaint.
    CRect GetRect() const;
    // Repaints the union of the old and new rectangles when visible.
    void SetRect(CRect rect);
    void SetRect(int x, int y, int width, int height);
    void SetVisible(int visible);
    void SetVisible(int visible, int repaint);
    int IsVisible() const noexcept { return m_visible.load(); }
    int IsParentVisible();
    void SetEnabled(int enabled);
    int IsEnabled() const noexcept { return m_enabled.load(); }
    int IsDragDrop() const noexcept { return m_dragDrop; }
    void SetDragDrop(int dragDrop) noexcept { m_dragDrop = dragDrop; }
    int GetRresponse() const noexcept { return m_response.load(); }
    void SetRresponse(int response) noexcept { m_response = response; }
    int IsTabStop() const noexcept { return m_tabStop; }
    void SetTabStop(int tabStop) noexcept { m_tabStop = tabStop; }
    int GetDblClk() const noexcept { return m_dblClk; }
    void SetDblClk(int dblClk) noexcept { m_dblClk = dblClk; }
    int IsKeyDown() const noexcept { return m_keyDown; }
    int IsFocused() const noexcept { return m_focused.load(); }
    // Key 0 means no hot key.
    void SetHotKey(UINT key, UINT modifiers) noexcept;
    int GetUpdate() const noexcept { return m_update.load(); }
    int IsAnimate() const noexcept { return m_animate.load(); }
    int IsRunTimer() const noexcept { return m_runTimer.load(); }
    void SetRunTimer(int run) noexcept { m_runTimer = run; }
    int UseImageECM() const noexcept { return m_imageECM; }
    // System cursor by name: "arrow", "wait", "cross", "sizewe", "sizens", "hand", "help";
    // another name leaves the cursor unchanged. Returns 0.
    int SetCursorEx(const wchar_t* name);
    HCURSOR GetCursor() const noexcept { return m_cursor.load(); }

    // --- Repaint requests and notifications, through the parent.
    // update 1: the content changed (the cache is marked stale); 0: redraw from the cache.
    void UpdateControl(int update, int force);
    void UpdateControl(CRect rect, int force, int update);
    void UpdateAControl(int update, int force);
    // The parent's OnBaseMessage(control id, code, wParam, lParam).
    LONG SendMessageW(UINT code, UINT wParam, LONG lParam);

    // --- Children (owned). Later children are drawn on top.
    const std::vector<MControl*>& GetControls() const noexcept { return m_children; }
    void AddControl(MControl* child);
    // Embedded controls are drawn beneath this control.
    void AddEmbeddedControl(MControl* control);
    // Depth first: children (each before its descendants), then embedded controls.
    MControl* GetControl(UINT id);
    // Deletes the child (after taking focus away from it); returns 0.
    int RemoveControl(MControl* child);
    void RemoveAllControl();

    // --- Tooltips.
    void SetTooltip(const wchar_t* text);
    // Shows the text at once through the manager and records this control as its owner.
    void SetTooltip(CString text, CRect rect);
    void ClearTooltip();
    CString GetTooltip() const;
    void SetTooltipCtrlID(int) noexcept {}
    int GetTooltipCtrlID() const noexcept { return 0; }

    // --- Entry points the paint manager calls.
    int Draw(HDC& dc, CRect clip);
    int OnMouseMove(UINT flags, CPoint point);
    int OnLButtonDown(UINT flags, CPoint point);
    int OnLButtonUp(UINT flags, CPoint point);
    int OnLButtonDblClk(UINT flags, CPoint point);
    int OnRButtonDown(UINT flags, CPoint point);
    int OnRButtonUp(UINT flags, CPoint point);
    int OnRButtonDblClk(UINT flags, CPoint point);
    int OnKeyDown(UINT key, UINT repeat, UINT flags);
    int OnKeyUp(UINT key, UINT repeat, UINT flags);
    int OnTimer();
    int OnFocus(int focus);
    int IsFocusControl();
    // Registers this control for the manager's multimedia tick.
    void AddMTimer();
    MControl* GetHoverChild() const noexcept { return m_hover; }

    // --- Off-screen surfaces. UpdateMemDC marks the cache valid and reallocates only when the
    // size changes.
    void UpdateMemDC(HDC& reference, int width, int height);
    void UpdateAnimateDC(HDC& reference, int width, int height);
    HDC GetMemDC() const noexcept { return m_memSurface.GetDC(); }
    HDC GetAnimateDC() const noexcept { return m_animateSurface.GetDC(); }
    const Surface& GetMemSurface() const noexcept { return m_memSurface; }
    const Surface& GetAnimateSurface() const noexcept { return m_animateSurface; }

protected:
    // Cached drawing helpers for DrawControl: copy the window pixels under the rectangle into
    // the cache surface at x offset cellX, and copy width x height of the surface from srcX back
    // to the rectangle.
    void CopyWindowToMemDC(HDC& dc, int cellX);
    void CopyMemDCToWindow(HDC& dc, int srcX);

    void SetFocused(int focused) noexcept { m_focused = focused; }
    void SetKeyDown(int keyDown) noexcept { m_keyDown = keyDown; }
    void SetImageECM(int ecm) noexcept { m_imageECM = ecm; }
    void SetAnimate(int animate) noexcept { m_animate = animate; }

private:
    enum class Button
    {
        Left,
        Right
    };
    int RouteButtonDown(Button button, UINT flags, CPoint point);
    int RouteButtonUp(Button button, UINT flags, CPoint point);
    int RouteDblClk(Button button, UINT flags, CPoint point);
    // The point a child gets: scroll bars (ids 1 and 2) the unconverted one.
    static CPoint PointFor(const MControl* child, const CPoint& original, const CPoint& converted);
    void RepaintThroughParent(CRect rect, int update);
    void DeleteChildren();

    MObject* m_parent;
    PaintManager* m_manager = nullptr;
    UINT m_id;
    mutable CriticalSection m_rectLock; // guards m_rect: written on the UI thread, read by the timer walk
    CRect m_rect;
    std::atomic<int> m_visible;
    std::atomic<int> m_enabled;
    int m_dragDrop = 0;
    std::atomic<int> m_response;
    int m_tabStop = 0;
    int m_dblClk = 0;
    int m_pressedInside = 0;
    int m_keyDown = 0;
    std::atomic<int> m_focused{0};
    UINT m_hotKey = 0;
    UINT m_hotKeyModifiers = 0;
    std::atomic<int> m_update{0};  // UI thread (paint) and timer thread (repaint requests)
    std::atomic<int> m_animate{0}; // likewise
    std::atomic<int> m_runTimer{0};
    int m_imageECM = 0;
    CriticalSection m_embeddedLock;
    std::vector<MControl*> m_embedded;
    CriticalSection m_childLock;
    std::vector<MControl*> m_children;
    MControl* m_hover = nullptr; // non-owning; one of m_children, cleared when it is removed
    Surface m_memSurface;
    Surface m_animateSurface;
    mutable CriticalSection m_tooltipLock; // guards m_tooltip
    CString m_tooltip;
    std::atomic<HCURSOR> m_cursor{nullptr}; // shared system cursor, not owned
};

} // namespace Tessel
