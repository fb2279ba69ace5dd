#pragma once

#include "tessel/controls/MControlFont.h"

#include <memory>

namespace Tessel
{

enum enumShowMode : int
{
    SHOW_MODE_NORMAL = 0,    // the frame at its own size, placed by the alignment
    SHOW_MODE_TILE = 1,      // tiled from the top-left, cut at the edges
    SHOW_MODE_STRETCH = 2,   // stretched over the control
    SHOW_MODE_FRAME = 3,     // nine-slice with one border width
    SHOW_MODE_FRAME_MID = 4, // nine-slice with four insets
    SHOW_MODE_CUSTOM = 5,    // a custom source rectangle stretched over the control
};

// A picture. Unlike the other controls it owns its image instead of borrowing it from the
// window's image cache, so replacing it frees the old one.
class TESSEL_API MPicture : public MControlFont
{
public:
    MPicture(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    ~MPicture() override;

    int DrawControl(HDC& dc, CRect clip) override;
    // From the application's resources; repaints (when visible) only on success.
    int SetImage(UINT id, CString type, int frameCount) override;
    // From the skin folder; repaints when visible whether or not it loaded.
    int SetImage(const wchar_t* file, int frameCount) override;

    // 0 (nothing changed) when the mode is the current one and, for mode 3, so is the border.
    int SetShowMode(enumShowMode mode, int border);
    // Mode 4 with these insets; 1.
    int SetShowModeMID(int left, int top, int right, int bottom);
    void SetCustomRect(CRect rect) noexcept { m_customRect = rect; }

    enumShowMode GetShowMode() const noexcept { return m_showMode; }
    int GetBorder() const noexcept { return m_border; }

private:
    void TakeImage(std::unique_ptr<Gdiplus::Image> image, int frameCount);
    void Render(Gdiplus::Graphics& g, int width, int height);

    enumShowMode m_showMode = SHOW_MODE_NORMAL;
    int m_border = 4;
    int m_insetLeft = 0;
    int m_insetTop = 0;
    int m_insetRight = 0;
    int m_insetBottom = 0;
    CRect m_customRect;
    std::unique_ptr<Gdiplus::Image> m_ownImage; // MControlFont::m_image points here
};

} // namespace Tessel
