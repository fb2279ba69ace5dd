#pragma once

#include "tessel/TesselApi.h"
#include "tessel/paint/PaintManager.h"
#include "tessel/render/CPoint.h"
#include "tessel/render/CRect.h"
#include "tessel/window/MObject.h"
#include "tessel/window/MWindow.h"
#include "tessel/window/TesselTypes.h"

#include <vector>

namespace Tessel
{

class MControl;

// The skinned dialog: a window without system caption or sizing border whose client area is
// drawn by its embedded paint manager. Derived dialogs override the hooks they need; every
// message still reaches the paint manager after the hook has seen it.
class TESSEL_API MDialog : public MWindow, public MObject
{
public:
    MDialog();
    ~MDialog() override;

    // --- MWindow side, in slot order.
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    int PreTranslateMessage(MSG* msg) override;
    // Binds the paint manager, caches the client rectangle, calls InitUI. Derived dialogs call
    // it first, then create their controls.
    int OnInitDialog() override;
    void OnDestroyMessage(HWND hwnd) override;
    // Screen point below the control: type 0 left edge, 1 centre, 2 right edge, other left.
    virtual POINT GetAirBladderPoint(MControl* control, UINT type);
    virtual void OnMinimize();
    virtual void OnMaximize();
    virtual void InitUI(CRect client);
    virtual void UISize(CRect client);
    // Receives every control notification (through OnBaseMessage).
    virtual LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam);
    // Posts WM_CLOSE with the same parameters; returns 1. Not posting keeps the dialog open.
    virtual LONG OnUserCloseWindow(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnCreate(CREATESTRUCTW* cs);
    virtual LRESULT OnSize(UINT type, int cx, int cy);
    virtual LRESULT OnMouseMove(UINT keys, CPoint pt);
    virtual LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMouseHover(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMouseWheel(UINT keys, short delta, CPoint pt);
    virtual LRESULT OnLButtonDown(UINT keys, CPoint pt);
    virtual LRESULT OnLButtonUp(UINT keys, CPoint pt);
    virtual LRESULT OnLButtonDblClk(UINT keys, CPoint pt);
    virtual LRESULT OnRButtonDown(UINT keys, CPoint pt);
    virtual LRESULT OnRButtonUp(UINT keys, CPoint pt);
    virtual LRESULT OnRButtonDblClk(UINT keys, CPoint pt);
    virtual LRESULT OnKeyDown(UINT vk, UINT repeat, UINT flags);
    virtual LRESULT OnNcHitTest(CPoint pt);
    virtual LRESULT OnGetMinMaxInfo(MINMAXINFO* info);
    virtual LRESULT OnNcCalcSize(BOOL calcValid, NCCALCSIZE_PARAMS* params);
    virtual LRESULT OnNcActivate(BOOL active);
    virtual LRESULT OnWindowPosChanging(WINDOWPOS* pos);
    virtual LRESULT OnWindowPosChanged(WINDOWPOS* pos);
    virtual LRESULT OnPaint();
    virtual void OnTimer(UINT id);
    virtual LRESULT OnNcPaint();
    virtual LRESULT OnClose();
    virtual LRESULT OnDestroy();
    // Last hook, after the handle is gone.
    virtual LRESULT PostNcDestroy();

    // --- MObject side.
    const wchar_t* GetClassNameW() const override; // "MDialog"
    LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    LONG OnControlUpdate(CRect rect, int update, MControl* control) override;

    // --- Closing with a result: post WM_USER + 66 with IDOK, IDCANCEL, IDCANCEL, IDYES, IDNO.
    void DoOK();
    void DoCancel();
    void DoClose();
    void DoYes();
    void DoNo();
    static constexpr UINT WM_USER_CLOSE = WM_USER + 66;

    // --- Forwarders to the paint manager.
    PaintManager& GetPaintManager() noexcept { return m_paintManager; }
    MControl* GetControl(UINT id);
    const std::vector<MControl*>& GetControls() const noexcept;
    MControl* CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* text, int first,
                            int second);
    MControl* CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* text, int first,
                         int second);
    void SetFocusControl(MControl* control);
    int LoadBKImage(CString name);
    int LoadBKImage(UINT id, CString type);
    void SetBackMode(enumBackMode mode, int value);
    void SetLayeredWindow(BOOL layered);
    void EnableWndDrag(BOOL enable);
    int SetMTimer(UINT period);
    void KillMTimer(UINT id);
    void KillMTimer();
    int SetTooltip(const wchar_t* text, CRect rect);
    void ClearTooltip();
    // 0 when the point's x or y is 0; otherwise shows the bubble (mode 3) and returns 1.
    int SetAirBladderMsg(const wchar_t* text, POINT pt, AIRBLADDER_TYPE type);
    void SetScrollResID(UINT vertical, UINT horizontal);
    int CreateShadow(int show, bool reinit);
    int SetSize(int size);
    int SetSharpness(UINT sharpness);
    int SetDarkness(UINT darkness);
    int SetPosition(int x, int y);
    int SetShadowColor(DWORD color);
    int SetShadowImage(const wchar_t* name, CRect margins);
    int SetShadowImage(UINT id, CRect margins);
    int SetShadowShow(int show);

    void SetTooltipCtrlID(int id) noexcept { m_tooltipCtrlId = id; }
    int GetTooltipCtrlID() const noexcept { return m_tooltipCtrlId; }
    CRect GetCachedClientRect() const noexcept { return m_clientRect; }

protected:
    PaintManager m_paintManager;
    int m_tooltipCtrlId;
    CRect m_clientRect;
};

} // namespace Tessel
