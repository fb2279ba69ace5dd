#pragma once

#include "tessel/TesselApi.h"
#include "tessel/paint/CIDropTarget.h"
#include "tessel/paint/RKTimer.h"
#include "tessel/render/CriticalSection.h"
#include "tessel/render/GdiObject.h"
#include "tessel/render/GdiplusHeaders.h"
#include "tessel/render/ImageCache.h"
#include "tessel/render/TempFontStore.h"
#include "tessel/render/WindowDC.h"
#include "tessel/render/CPoint.h"
#include "tessel/render/CRect.h"
#include "tessel/render/CSize.h"
#include "tessel/render/CString.h"
#include "tessel/window/TesselTypes.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

namespace Tessel
{

class MControl;
class MControlFont;
class MObject;
class MShadow;
class MWindow;

// One per dialog: owns the dialog's windowless controls, routes input to them, paints the
// whole client area off-screen (optionally onto a per-pixel-alpha layered window), moves the
// window when its background is dragged, runs control timers and shows tooltips.
//
// Threads: everything runs on the window's thread except OnMTimer (multimedia timer thread),
// which walks the per-tick list and may reach OnControlUpdate through a control. The area,
// control, per-tick and timer lists each have a lock held for every walk; the areas lock is
// never held while the controls lock is taken.
class TESSEL_API PaintManager : public RKTimer, public CIDropTarget
{
public:
    PaintManager();
    ~PaintManager() override;

    // --- RKTimer: the multimedia tick for controls registered with AddMTimer.
    using RKTimer::OnMTimer;
    void OnMTimer(UINT id) override;

    // --- Drop target: a drop becomes WM_LBUTTONUP then STM_SETIMAGE with a bitmap.
    bool OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD* effect) override;

    // --- Lifecycle.
    void Init(HWND hwnd, MWindow* window);
    // Releases everything bound to the window (images, DC, timers, controls, fonts).
    void DestroyData();
    bool IsInitialized() const noexcept { return m_initialized; }

    // --- Messages. A non-zero result means handled.
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    int PreTranslateMessage(MSG* msg);
    void OnDestroyMessage(HWND hwnd);
    LRESULT OnPaint();
    LRESULT OnMouseMove(UINT keys, CPoint pt);
    LRESULT OnMouseLeave();
    LRESULT OnMouseHover(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseWheel(UINT keys, short delta, CPoint screenPt);
    LRESULT OnLButtonDown(UINT keys, CPoint pt);
    LRESULT OnLButtonUp(UINT keys, CPoint pt);
    LRESULT OnLButtonDblClk(UINT keys, CPoint pt);
    LRESULT OnRButtonDown(UINT keys, CPoint pt);
    LRESULT OnRButtonUp(UINT keys, CPoint pt);
    LRESULT OnRButtonDblClk(UINT keys, CPoint pt);
    LRESULT OnKeyDown(WPARAM vk, LPARAM lParam);
    LRESULT OnKeyUp(WPARAM vk, LPARAM lParam);
    LRESULT OnNcActivate(BOOL active);
    LRESULT OnGetMinMaxInfo(MINMAXINFO* info);
    LRESULT OnTimer(UINT id);
    LRESULT OnCreate(CREATESTRUCTW* cs);
    LRESULT OnSize(UINT type, int cx, int cy);
    LRESULT OnNcHitTest(CPoint pt);
    LRESULT OnNcCalcSize(BOOL calcValid, NCCALCSIZE_PARAMS* params);
    LRESULT OnNcPaint();
    LRESULT OnDestroy();
    LRESULT OnWindowPosChanging(WINDOWPOS* pos);
    // For dialogs that route WM_WINDOWPOSCHANGED here (the dispatcher does not): applies the
    // window's frame styles again, then sends WM_MOVE and WM_SIZE built from pos.
    LRESULT OnWindowPosChanged(WINDOWPOS* pos);
    LRESULT PostNcDestroy();

    // --- Painting.
    void Invalidate();
    void InvalidateRect(CRect rect, BOOL erase);
    // A control's repaint request: with update the control's cache is marked stale; every
    // later control overlapping rect is repainted too.
    LONG OnControlUpdate(CRect rect, BOOL update, MControl* control);
    // Image file from the skin folder / resource of the application module; 1 when loaded.
    int LoadBKImage(CString name);
    int LoadBKImage(UINT id, CString type);
    void SetBackMode(enumBackMode mode, int value);
    enumBackMode GetBackMode() const noexcept { return m_backMode; }
    int GetBackModeValue() const noexcept { return m_backModeValue; }
    bool HasBackImage() const noexcept { return m_backImage != nullptr; }
    // COLORREF values (0x00BBGGRR).
    void SetBackColor(COLORREF inner, COLORREF frame);
    COLORREF GetBackColor() const noexcept { return m_innerColor; }
    COLORREF GetFrameColor() const noexcept { return m_frameColor; }
    void SetLayeredWindow(BOOL layered);
    BOOL IsLayered() const noexcept { return m_layered; }
    HDC GetPaintDC() const noexcept { return m_hdcPaint.get(); }
    HWND GetPaintWnd() const noexcept { return m_hWndPaint; }
    MWindow* GetOwnerWindow() const noexcept { return m_window; }
    void GetClientRect(CRect& rect) const;
    void GetWindowRect(CRect& rect) const;
    void GetClientSize(int& width, int& height) const;
    // Steps of one paint pass onto a 32-bit bottom-up buffer selected into memDc (client size):
    // background, areas and controls, hot cell, caret, and for layered windows the clearing of
    // the update rectangle before and the alpha fix-up of GDI pixels after.
    void RenderClient(HDC memDc, DWORD* bits, int width, int height, const CRect& update);
    // Draws every area, then every control, in list order.
    void DrawControl(HDC& dc, const CRect& clip);
    void DrawBackImage(Gdiplus::Graphics& graphics, const CRect& client);

    // --- Window behaviour.
    void EnableWndDrag(BOOL enable) noexcept { m_wndDrag = enable; }
    BOOL IsWndDragEnabled() const noexcept { return m_wndDrag; }
    void SetCaptionRect(CRect rect) noexcept { m_captionRect = rect; }
    CRect GetCaptionRect() const noexcept { return m_captionRect; }
    // 0 leaves the system's value.
    void SetWindowMaxSize(int width, int height) noexcept;
    void SetWindowMixSize(int width, int height) noexcept;
    CSize GetWindowMinSize() const noexcept { return m_minSize; }
    CSize GetWindowManSize() const noexcept { return m_minSize; }
    CSize GetWindowMaxSize() const noexcept { return m_maxSize; }
    void SetCapture();
    void ReleaseCapture();
    BOOL IsCaptured() const noexcept { return m_captured; }
    LRESULT SendMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // Sends, synchronously, like SendMessageW.
    LRESULT PostMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    // --- Controls. The manager owns every control of its area and control lists.
    // The factory (by class name); list 0 = areas, 1 = controls, other = not listed.
    MControl* CreateControl(UINT list, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                            const wchar_t* text, int first, int second);
    MControl* CreateControl(MObject* parent, const wchar_t* className, UINT id, CRect rect,
                            const wchar_t* text, int first, int second);
    MControl* CreateArea(MObject* parent, const wchar_t* className, UINT id, CRect rect, const wchar_t* text,
                         int first, int second);
    // Binds a constructed control (SetManager, which runs InitControl) and appends it to list
    // 0 (areas) or 1 (controls); the manager then owns it. Other lists: bound only.
    MControl* AddControl(MControl* control, UINT list);
    // Controls first (each before its sub-controls), then areas; no lock.
    MControl* GetControl(UINT id);
    // Searches the control list only; deletes the control. 1 when found.
    int RemoveControl(MControl* control);
    void ClearAllControls();
    void ClearAreaControls();
    void ClearControls();
    const std::vector<MControl*>& GetControls() const noexcept { return m_controls; }
    const std::vector<MControl*>& GetAreas() const noexcept { return m_areas; }

    // --- Focus and hover (non-owning; cleared when the control goes away).
    void SetFocusControl(MControl* control);
    MControl* GetFocusControl() const noexcept { return m_focus; }
    MControl* GetHoverControl() const noexcept { return m_hover; }
    MControl* GetNextFocusableControl();
    MControl* GetPrevFocusableControl();

    // --- Control timers (window timers on behalf of controls; ids 17, 18, ... 239, 0, 1 ...).
    int SetTimer(MControl* control, UINT key, UINT elapse);
    int KillTimer(MControl* control, UINT key);
    void KillTimer(MControl* control);
    void ClearTimers();
    // --- The multimedia tick.
    int SetMTimer(UINT period);
    void KillMTimer(UINT id);
    void KillMTimer();
    void AddMTimer(MControl* control);
    int DeleteFSTimer(MControl* control);

    // --- Tooltip and tip bubble.
    int SetTooltip(const wchar_t* text, CRect rect);
    void ClearTooltip();
    HWND GetToolTipWnd() const noexcept { return m_hWndPaint; }
    HWND GetTooltipWindow() const noexcept { return m_hWndTooltip; }
    void SetTooltipCtrlID(int id) noexcept { m_tooltipCtrlId = id; }
    int GetTooltipCtrlID() const noexcept { return m_tooltipCtrlId; }
    int SetAirBladderMsg(const wchar_t* text, POINT pt, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode);
    int ShowAirBladder(int show, int tag);

    // --- Caret (edit controls).
    BOOL CreateCaret(HBITMAP bitmap, int width, int height);
    BOOL ShowCaret(BOOL show);
    BOOL SetCaretPos(MControlFont* edit, int x, int y);
    MControlFont* GetCurrentCaretObject() const noexcept { return m_caretOwner; }
    void DrawCaret(HDC dc, const CRect& clip);

    // --- Drop shadow.
    int CreateShadow(int show, bool reinit);
    int SetSize(int size);
    int SetSharpness(UINT sharpness);
    int SetDarkness(UINT darkness);
    int SetPosition(int x, int y);
    int SetShadowColor(DWORD color);
    int SetShadowImage(const wchar_t* name, CRect margins);
    int SetShadowImage(UINT id, CRect margins);
    int SetShadowShow(int show);
    int DisableShadow(int disable);
    MShadow* GetShadow() const noexcept { return m_shadow.get(); }

    // --- Image cache and temporary fonts of this window.
    ImgResInfo* AddImgResInfo(const wchar_t* file, int frameCount);
    ImgResInfo* AddImgResInfo(UINT id, CString type, int frameCount, int fromApplication);
    void ClearImgResInfo();
    int AddGDITempFont(UINT id);
    Gdiplus::FontFamily* AddTempFont(const wchar_t* face, const wchar_t* file);
    Gdiplus::FontFamily* AddTempFont(const wchar_t* face, UINT id);
    Gdiplus::FontFamily* FindTempFont(const wchar_t* face);
    void ClearTempFont();
    ImageCache& GetImageCache() noexcept { return m_imageCache; }
    TempFontStore& GetTempFontStore() noexcept { return m_tempFonts; }

    // --- Settings read by controls.
    void SetScrollResID(UINT vertical, UINT horizontal) noexcept;
    UINT GetVScrollResID() const noexcept { return m_vScrollResId; }
    UINT GetHScrollResID() const noexcept { return m_hScrollResId; }
    COLORREF GetDefaultEnabledColor() const noexcept { return m_defaultEnabledColor; }
    void SetDefaultEnabledColor(COLORREF color) noexcept { m_defaultEnabledColor = color; }
    BOOL IsActive() const noexcept { return m_active; }
    BOOL IsPressed() const noexcept { return m_leftPressed; }

    // Reserved window timer ids: the fade sequence and the caret blink.
    static constexpr UINT kFadeStartTimer = 66;
    static constexpr UINT kFadeStepTimer = 88;
    static constexpr UINT kFadeEndTimer = 99;
    static constexpr UINT kCaretTimer = 6553;

    // Defined beside the shadow operations, where MShadow is complete.
    struct ShadowDeleter
    {
        void operator()(MShadow* shadow) const noexcept;
    };

private:
    // A repaint request made on another thread (a ticking control), done on the window's thread.
    struct PendingUpdate
    {
        CRect rect;
        BOOL update;
        MControl* control;
    };

    struct ControlTimer
    {
        HWND hwnd;
        UINT key;
        UINT id;
        int killed;
        MControl* control;
    };

    // Modifier code of the keyboard state: Alt 0x12 | Ctrl 0x11 | Shift 0x10.
    static UINT ModifierCode();
    bool IsFocusable(MControl* control) const;
    bool TryBeginDrag(UINT keys, CPoint pt);
    void ClearHoverAndFocusFor(MControl* control);
    // Empties the list under its lock, then deletes the controls it held.
    void DeleteControlsOf(std::vector<MControl*>& list, CriticalSection& lock);
    // Release/double-click delivery: to the hovered control, dropping hover once the point left it.
    void DeliverToHover(int (MControl::*handler)(UINT, CPoint), UINT keys, CPoint pt);
    void CaretInvalidate();
    void RunPendingUpdates();
    static UINT PendingUpdateMessage();

    // Owning window and painted window.
    MWindow* m_window;
    // These four are also read on the multimedia timer thread, when a ticking control asks for a
    // repaint (OnControlUpdate, InvalidateRect); written on the window's thread.
    std::atomic<bool> m_initialized;
    std::atomic<HWND> m_hWndPaint;
    std::atomic<COLORREF> m_innerColor;
    std::atomic<BOOL> m_layered;
    WindowDC m_hdcPaint; // from GetDC in Init, released in DestroyData

    COLORREF m_frameColor;
    CRect m_captionRect;
    CSize m_maxSize;
    CSize m_minSize;

    // Drag source state.
    CPoint m_lastMousePt;
    bool m_dragArmed;
    BitmapHandle m_dragBitmap;

    std::unique_ptr<Gdiplus::Image> m_backImage;
    int m_backImageWidth;
    int m_backImageHeight;
    std::unique_ptr<MShadow, ShadowDeleter> m_shadow;

    std::atomic<UINT> m_mtimerId; // written on the UI thread; read by the timer thread in OnMTimer
    UINT m_timerCounter;

    BOOL m_active;
    BOOL m_mouseTracking;
    BOOL m_leftPressed;
    BOOL m_captured;
    BOOL m_wndDrag;
    UINT m_vScrollResId;
    UINT m_hScrollResId;
    COLORREF m_defaultEnabledColor;
    MControl* m_hover;
    MControl* m_focus;

    int m_tooltipCtrlId;
    HWND m_hWndTooltip; // owned: destroyed with the manager
    bool m_tooltipToolAdded;
    std::unique_ptr<MWindow>
        m_airBladder; // an MAirBladder: window destroyed and object deleted with the manager
    int m_airBladderTag;

    CriticalSection m_areasLock;
    std::vector<MControl*> m_areas; // owned
    CriticalSection m_controlsLock;
    std::vector<MControl*> m_controls; // owned
    CriticalSection m_tickLock;        // UI thread (add/remove) and timer thread (OnMTimer)
    std::vector<MControl*> m_tickControls;
    CriticalSection m_timersLock;
    std::vector<ControlTimer> m_timers;

    enumBackMode m_backMode;
    int m_backModeValue;

    // Caret.
    CRect m_caretRect;
    BOOL m_caretPhase;
    BOOL m_caretEnabled;
    MControlFont* m_caretOwner;

    // Filled by the timer thread, drained on the window's thread: the overlap walk takes the list
    // locks, which a timer-thread walk could otherwise take against the window thread's walks.
    CriticalSection m_pendingLock;
    std::vector<PendingUpdate> m_pending;
    std::atomic<DWORD> m_uiThreadId;

    ImageCache m_imageCache;
    TempFontStore m_tempFonts;
};

} // namespace Tessel
