#pragma once

#include "tessel/TesselApi.h"
#include "tessel/render/GdiplusHeaders.h"
#include "tessel/render/CPoint.h"
#include "tessel/render/CRect.h"
#include "tessel/render/CString.h"
#include "tessel/window/MWindow.h"
#include "tessel/window/TesselTypes.h"

#include <memory>

namespace Tessel
{

// A balloon-style hint: a borderless per-pixel-alpha popup with a nine-part skinned background
// and white text in the framework's embedded font, placed around an anchor point on the screen
// (the layout by mode) and hidden again after 5 seconds (all types but 4) or when it loses the
// focus (all modes but 5). Each paint manager owns at most one.
//
// UI thread only.
class TESSEL_API MAirBladder : public MWindow
{
public:
    // Auto-hide timer on the bubble window.
    static constexpr UINT kHideTimer = 10;
    static constexpr UINT kHideDelay = 5000;
    // The type image buttons give their title tips.
    static constexpr AIRBLADDER_TYPE kHoverTipType = static_cast<AIRBLADDER_TYPE>(5);

    MAirBladder();
    // Releases the images, the string format and the font family.
    ~MAirBladder() override;

    // --- MWindow side.
    // A hover tip (type 5, an image button's title) is shown without taking the focus from the
    // window under the pointer; other bubbles are shown as asked.
    void ShowWindow(int cmdShow) override;
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    int PreTranslateMessage(MSG* msg) override;
    // Loads the embedded font (resource 106, type "ttf", of Tessel.dll) as the text family.
    int OnInitDialog() override;
    virtual LONG OnUserCloseWindow(WPARAM wParam, LPARAM lParam);
    virtual void CloseWindow();
    virtual LRESULT OnCreate(CREATESTRUCTW* cs);
    virtual LRESULT OnSize(UINT type, int cx, int cy);
    // Input and frame hooks for derived bubbles; the bubble itself ignores these (0). The key,
    // wheel, hit-test, min-max, non-client and final hooks are not called by the dispatcher.
    virtual LRESULT OnMouseMove(UINT, CPoint) { return 0; }
    virtual LRESULT OnMouseLeave(WPARAM, LPARAM) { return 0; }
    virtual LRESULT OnMouseHover(WPARAM, LPARAM) { return 0; }
    virtual LRESULT OnMouseWheel(UINT, short, CPoint) { return 0; }
    virtual LRESULT OnLButtonDown(UINT, CPoint) { return 0; }
    virtual LRESULT OnLButtonUp(UINT, CPoint) { return 0; }
    virtual LRESULT OnLButtonDblClk(UINT, CPoint) { return 0; }
    virtual LRESULT OnRButtonDown(UINT, CPoint) { return 0; }
    virtual LRESULT OnRButtonUp(UINT, CPoint) { return 0; }
    virtual LRESULT OnRButtonDblClk(UINT, CPoint) { return 0; }
    virtual LRESULT OnKeyDown(UINT, UINT, UINT) { return 0; }
    virtual LRESULT OnNcHitTest(CPoint) { return 0; }
    virtual LRESULT OnGetMinMaxInfo(MINMAXINFO*) { return 0; }
    virtual LRESULT OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { return 0; }
    virtual LRESULT OnNcActivate(BOOL active);
    virtual LRESULT OnSetFocus(HWND previous);
    virtual LRESULT OnKillFocus(HWND next);
    virtual LRESULT OnWindowPosChanging(WINDOWPOS*) { return 0; }
    virtual LRESULT OnWindowPosChanged(WINDOWPOS* pos);
    virtual LRESULT OnPaint();
    virtual void OnTimer(UINT id);
    virtual LRESULT OnNcPaint() { return 0; }
    virtual LRESULT OnClose();
    virtual LRESULT PostNcDestroy() { return 0; }
    virtual LRESULT OnDestroy();

    // Stores the message and lays the bubble out around the anchor; the same message, point, type
    // and mode again changes nothing (no move, no timer restart). 1.
    int SetAirBladderMsg(const wchar_t* text, POINT anchor, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode);

    // Skin images: by file name (skin folder) or by application resource; 1 when loaded.
    int LoadBKImage(CString name);
    int LoadBKImage(UINT id, CString type);
    int LoadArrowLImage(CString name);
    int LoadArrowLImage(UINT id, CString type);
    int LoadArrowRImage(CString name);
    int LoadArrowRImage(UINT id, CString type);
    int LoadArrowTImage(CString name);
    int LoadArrowTImage(UINT id, CString type);
    // Stored only.
    void SetBackMode(enumBackMode mode, int value) noexcept;

    // --- Read-only state.
    CString GetText() const { return m_text; }
    POINT GetAnchor() const noexcept { return {m_x, m_y}; }
    AIRBLADDER_TYPE GetType() const noexcept { return m_type; }
    AIRBLADDER_MODE GetMode() const noexcept { return m_mode; }
    int GetLineCount() const noexcept { return m_lines; }
    // Horizontal alignment of the text: near for several lines, centred for one line or mode 4.
    Gdiplus::StringAlignment GetTextAlignment() const;
    bool HasFontFamily() const noexcept { return m_family != nullptr; }
    bool HasBackImage() const noexcept { return m_bkImage.image != nullptr; }

private:
    struct SkinImage
    {
        std::unique_ptr<Gdiplus::Image> image;
        int width = 0;
        int height = 0;
    };
    static int Load(SkinImage& slot, std::unique_ptr<Gdiplus::Image> image);
    void AutoFit();
    // Text width (outline, rounded up) and line height at the bubble's font.
    bool MeasureText(int& width, int& lineHeight) const;
    void Present(HDC paintDc);

    CString m_text;
    int m_x = 0;
    int m_y = 0;
    AIRBLADDER_TYPE m_type = AIRBLADDER_TYPE_CENTER;
    AIRBLADDER_MODE m_mode = AIRBLADDER_MODE_3;
    std::unique_ptr<Gdiplus::PrivateFontCollection> m_fonts; // keeps the family's font alive
    std::unique_ptr<Gdiplus::FontFamily> m_family;
    std::unique_ptr<Gdiplus::StringFormat> m_format;
    SkinImage m_bkImage;
    SkinImage m_arrowL;
    SkinImage m_arrowR;
    SkinImage m_arrowT;
    enumBackMode m_backMode = BACK_MODE_FRAME;
    int m_backModeValue = 18;
    int m_lines = 1;
    int m_lineHeight = 0;
};

} // namespace Tessel
