#pragma once

#include "tessel/TesselApi.h"
#include "tessel/render/GdiplusHeaders.h"
#include "tessel/render/CString.h"
#include "tessel/window/ShadowMap.h"
#include "tessel/window/ShadowMaths.h"

#include <memory>

namespace Tessel
{

class PaintManager;

// A soft drop shadow behind a dialog: a click-through layered popup ("ShadowWnd") kept directly
// behind the dialog, computed from the dialog's shape or drawn from a nine-part skin image. The
// shadow follows the dialog by subclassing its window procedure and finds itself in the
// process-wide dialog-to-shadow map (GetShadowMap).
//
// The dialog's thread only.
class TESSEL_API MShadow
{
public:
    enum StatusBits : unsigned char
    {
        SS_ENABLED = 1,       // the shadow window exists
        SS_VISIBLE = 2,       // the shadow window is shown
        SS_PARENT_VISIBLE = 4 // the dialog is shown
    };

    MShadow();
    MShadow(const MShadow&) = delete;
    MShadow& operator=(const MShadow&) = delete;
    // Unhooks the dialog if it is still alive, destroys the shadow window.
    virtual ~MShadow();

    // Registers the "ShadowWnd" class unless done before (and reinit is false); 1 when registered now.
    static int Initialize(HINSTANCE instance, bool reinit);
    // Creates the shadow window for the dialog and hooks it; nothing unless the show flag is set or
    // when a shadow window exists already. The manager is only remembered as the owner.
    void Create(PaintManager* manager, HWND dialog);
    // Same for the manager's painted window (defined beside the manager, which knows its window).
    void Create(PaintManager* manager);

    void ShowShadow(int show) noexcept { m_show = show; }
    int IsShowShadow() const noexcept { return m_show; }
    void DisableShadow(int disable);
    int IsDisableShadow() const noexcept { return m_disabled; }

    // Each setter refuses out-of-range values with 0 and otherwise stores the value and redraws a
    // visible shadow at once.
    int SetSize(int size);
    int SetSharpness(UINT sharpness);
    int SetDarkness(UINT darkness);
    int SetPosition(int x, int y);
    int SetColor(DWORD color);
    // Image mode from a skin file / a "PNG" resource of the application; 1 when the image loaded.
    int SetImage(const wchar_t* name);
    int SetImage(UINT resourceId);
    // Fixed borders of the nine-part image; 0 (and nothing stored) when any margin is negative.
    int SetShadowCorner(RECT margins);
    // Copies this shadow's settings into target through its setters, then the show flag; 1.
    int CopyShadow(MShadow* target);

    // --- Read-only state.
    HWND GetShadowWnd() const noexcept { return m_shadowWnd; }
    unsigned char GetStatus() const noexcept { return m_status; }
    int IsImageMode() const noexcept { return m_imageMode; }
    const ShadowParams& GetParams() const noexcept { return m_params; }
    RECT GetShadowCorner() const noexcept { return m_margins; }

    // Every hooked dialog's shadow by the dialog's window, made on first use.
    static ShadowMap& GetShadowMap();

protected:
    // Rebuilds the shadow bitmap for the dialog and presents it; nothing unless shown and visible.
    void Update(HWND parent);
    // Computed mode: fills the zeroed bottom-up bitmap from the dialog's window region.
    void MakeShadow(UINT32* bits, HWND parent, RECT* parentRect);

    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

private:
    // Places the shadow window behind the dialog at its offset (no size change, no activation).
    void Move(HWND parent);
    // Status from the dialog's style, as at creation.
    void DeriveStatus(HWND parent);
    void ShowNoActivate();
    void Hide();
    // Redraw now when the shadow is up.
    void Refresh();
    void Unhook();
    void HandleParentMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    PaintManager* m_manager = nullptr;
    HWND m_shadowWnd = nullptr; // owned: destroyed with the dialog (WM_DESTROY) or by the destructor
    HWND m_parent = nullptr;    // the hooked dialog, null once it is gone
    WNDPROC m_oldProc = nullptr;
    unsigned char m_status = 0;
    int m_imageMode = 0;
    int m_show = 0;
    int m_disabled = 0;
    std::unique_ptr<Gdiplus::Image> m_image;
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    ShadowParams m_params;
    WORD m_lastWidth = 0;
    WORD m_lastHeight = 0;
    int m_updatePending = 0;
    CString m_imageName;
    UINT m_imageId = 0;
    RECT m_margins = {0, 0, 0, 0};
};

} // namespace Tessel
