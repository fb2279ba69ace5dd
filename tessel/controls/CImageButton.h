#pragma once

#include "tessel/controls/MButton.h"
#include "tessel/window/TesselTypes.h"

namespace Tessel
{

// A push button that is only its image strip (each state frame stretched over its cell) with an
// optional centred icon; its title is shown as a tip bubble beside it while hovered when a
// bubble mode is set (1: at the right edge, 2: at the left edge).
class TESSEL_API CImageButton : public MButton
{
public:
    CImageButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);
    ~CImageButton() override;

    int OnControlMouseMove(UINT flags, CPoint point) override;

    void SetAlrBladderMode(AIRBLADDER_MODE mode) noexcept { m_bubbleMode = mode; }
    AIRBLADDER_MODE GetAlrBladderMode() const noexcept { return m_bubbleMode; }

protected:
    void RenderCell(Gdiplus::Graphics& g, int cell, int width, int height) override;

private:
    void UpdateBubble();

    AIRBLADDER_MODE m_bubbleMode = AIRBLADDER_MODE_NONE;
};

} // namespace Tessel
