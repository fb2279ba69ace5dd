#pragma once

#include "tessel/TesselApi.h"
#include "tessel/render/CPoint.h"
#include "tessel/render/CRect.h"
#include "tessel/render/CString.h"

#include <windows.h>

namespace Tessel
{

// Owner of one top-level window. The window procedure is bound to the object at WM_NCCREATE
// (through GWLP_USERDATA, or the "Control" property for superclassed windows) and unbound at
// WM_NCDESTROY, after which the object may create a window again.
class TESSEL_API MWindow
{
public:
    MWindow();
    MWindow(const MWindow&) = delete;
    MWindow& operator=(const MWindow&) = delete;
    virtual ~MWindow();

    virtual const wchar_t* GetWindowClassName() const;
    // A name here makes Create superclass that (system or Manager-module) class.
    virtual const wchar_t* GetSuperClassName() const;
    virtual void ShowWindow(int cmdShow);
    virtual LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual int PreTranslateMessage(MSG* msg);
    virtual int OnInitDialog();
    virtual void OnDestroyMessage(HWND hwnd);

    HWND Create(HWND parent);
    HWND Create(HWND parent, CRect rect);
    HWND Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, CRect rect);
    HWND Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, CRect rect, HMENU menu);

    int RegisterWindowClass();
    int RegisterSuperClass();

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetParentHwnd() const { return m_hParent; }

    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    int ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    int ModifyExStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    LRESULT SendMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    BOOL GetClientRect(RECT* rect) const;
    BOOL GetWindowRect(RECT* rect) const;
    BOOL SetWindowTextW(const wchar_t* text);
    int GetWindowTextW(CString& text) const;
    // -1 without a window.
    int GetWindowTextLengthW() const;
    BOOL EnableWindow(BOOL enable);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    BOOL InvalidateRect(CRect rect, BOOL erase);
    HWND SetCapture();
    BOOL ReleaseCapture();
    HWND SetFocus();
    BOOL ClientToScreen(POINT* pt) const;
    BOOL ClientToScreen(RECT* rect) const;
    BOOL ScreenToClient(POINT* pt) const;
    BOOL ScreenToClient(RECT* rect) const;
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    BOOL MoveWindow(const RECT* rect, BOOL repaint = TRUE);
    BOOL DestroyWindow();

    UINT_PTR SetTimer(UINT id, UINT elapse, TIMERPROC proc = nullptr);
    BOOL KillTimer(UINT id);
    void SetIcon(UINT resourceId);

    // Centres over `over`'s window, else the parent (child windows) or the owner, else the work area.
    void CenterWindow(MWindow* over = nullptr);
    void BringToTop();
    // Runs a modal loop until the window is gone; returns the wParam of the WM_CLOSE that closed
    // it, 0 after WM_QUIT (which is posted again), 0xFFFFFFFF without a window.
    UINT ShowModal(int cmdShow = SW_SHOWNORMAL);

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

protected:
    // True when the handle is set and still names a window.
    bool HasWindow() const;
    // True when the handle is neither null nor -1 (the lighter check some wrappers use).
    bool HasHandle() const;

    HWND m_hParent;
    HWND m_hWnd;
    WNDPROC m_oldWndProc;

private:
    struct Binding;
    // The body of WndProc and ControlProc, which differ only in where the object is kept.
    static LRESULT Route(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, const Binding& binding) noexcept;
};

} // namespace Tessel
