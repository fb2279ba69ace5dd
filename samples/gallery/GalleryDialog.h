#pragma once

#include "tessel/window/MDialog.h"

#include <vector>

namespace Tessel
{
class MButton;
class MControl;
} // namespace Tessel

// Every basic control in every state on one dark layered dialog.
class GalleryDialog : public Tessel::MDialog
{
public:
    static constexpr int kWidth = 660;
    static constexpr int kHeight = 470;

    void InitUI(Tessel::CRect client) override;
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;

    // Puts the state buttons into hover and pressed (called once the window is up).
    void ShowButtonStates();
    // Anchor for the demo tip bubble, in screen coordinates.
    POINT BubbleAnchor();

private:
    Tessel::MControl* Label(const wchar_t* text, int x, int y, int w, int h, int size, int bold);
    void ButtonRow(int y);
    void ImageButtonRow(int y);
    void PictureRow(int y);
    void TextRow(int y);
    void AreaRow(int y);

    std::vector<Tessel::MButton*> m_stateButtons; // owned by the paint manager
    Tessel::MControl* m_bubbleButton = nullptr;
};
