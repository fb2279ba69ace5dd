#include "tessel/paint/PaintManager.h"

#include "tessel/window/MAirBladder.h"

namespace Tessel
{

namespace
{
constexpr DWORD kBubbleStyle = 0x96000080;
} // namespace

int PaintManager::SetAirBladderMsg(const wchar_t* text, POINT pt, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode)
{
    // The bubble's window is owned by the dialog and dies with it; a dialog created again needs a new one.
    if (m_airBladder && !::IsWindow(m_airBladder->GetSafeHwnd()))
        m_airBladder.reset();
    if (!m_airBladder)
    {
        auto bubble = std::make_unique<MAirBladder>();
        bubble->Create(m_hWndPaint, L"AirBladder Window", kBubbleStyle, 0, CRect(), nullptr);
        bubble->LoadBKImage(CString(L"img_tip_bk.png"));
        bubble->LoadArrowLImage(CString(L"img_tip_arrow_left.png"));
        bubble->LoadArrowRImage(CString(L"img_tip_arrow_right.png"));
        bubble->LoadArrowTImage(CString(L"img_tip_arrow_top.png"));
        m_airBladder = std::move(bubble);
    }
    return static_cast<MAirBladder*>(m_airBladder.get())->SetAirBladderMsg(text, pt, type, mode);
}

int PaintManager::ShowAirBladder(int show, int tag)
{
    if (!m_airBladder)
        return 0;
    if (tag)
    {
        // Only the tag that last showed the bubble may hide it.
        if (show)
            m_airBladderTag = tag;
        else if (tag != m_airBladderTag)
            return 0;
    }
    m_airBladder->ShowWindow(show);
    return 1;
}

} // namespace Tessel
