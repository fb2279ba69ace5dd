#pragma once

#include "tessel/controls/MControlFont.h"

#include <memory>

namespace Tessel
{

// A skinned push button. All four state cells (normal, hover, pressed, disabled) are rendered
// side by side into one cached surface, so a state change only picks another cell. The parent
// gets code 1 when the button is pressed and code 2 when it is clicked (released inside after a
// press inside).
class TESSEL_API MButton : public MControlFont
{
public:
    enum State
    {
        STATE_NORMAL = 0,
        STATE_HOVER = 1,
        STATE_PRESSED = 2,
        STATE_DISABLED = 3,
    };
    static constexpr UINT kCodePressed = 1;
    static constexpr UINT kCodeClicked = 2;

    MButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);
    ~MButton() override;

    int DrawControl(HDC& dc, CRect clip) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint point) override;
    int OnControlLButtonDown(UINT flags, CPoint point) override;
    int OnControlLButtonUp(UINT flags, CPoint point) override;

    // The button's own icon from the skin folder; no repaint. 1 when it loaded.
    int SetIconImage(const wchar_t* file, int frameCount);
    // Border width of the nine-slice cells; stored only.
    void SetFrameSize(int size) noexcept { m_frameSize = size; }
    // Caption rectangle relative to the button (empty: the whole cell); stored only.
    void SetTextRect(CRect rect) noexcept { m_textRect = rect; }

    int GetState() const noexcept { return m_state; }
    int GetFrameSize() const noexcept { return m_frameSize; }

protected:
    // Draws cell `cell` of the state strip into the surface at x = cell * width.
    virtual void RenderCell(Gdiplus::Graphics& g, int cell, int width, int height);
    void RenderCaption(Gdiplus::Graphics& g, int cell, int width, int height);
    // Stores the new state; when it changed, repaints from the cache, then sends code 2 for a
    // click. Returns whether the state changed.
    int ChangeState(int state, bool click);

    Gdiplus::Image* GetIcon() const noexcept { return m_icon.get(); }
    int GetIconWidth() const noexcept { return m_iconWidth; }
    int GetIconHeight() const noexcept { return m_iconHeight; }

private:
    int m_state = STATE_NORMAL;
    int m_frameSize = 8;
    std::unique_ptr<Gdiplus::Image> m_icon;
    int m_iconWidth = 0;
    int m_iconHeight = 0;
    int m_iconCount = 4;
    CRect m_iconRect;
    CRect m_textRect;
};

} // namespace Tessel
