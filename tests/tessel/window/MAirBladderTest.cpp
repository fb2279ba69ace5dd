#include "tests/tessel/TesselTestKit.h"

#include "tessel/controls/CImageButton.h"
#include "tessel/paint/PaintManager.h"
#include "tessel/window/MAirBladder.h"

#include <string>
#include <vector>

using namespace Tessel;

namespace
{

CRect WindowRect(HWND hwnd)
{
    CRect rc;
    ::GetWindowRect(hwnd, &rc);
    return rc;
}

// A bubble as the paint manager makes one: owned by a dialog, skinned from the skin folder. One
// bubble serves the whole suite (destroying a shown window costs the X11 driver a long wait).
class Bubble : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        owner = new HostDialog();
        bubble = new MAirBladder();
        bubble->Create(owner->GetSafeHwnd(), L"AirBladder Window", 0x96000080, 0, CRect(), nullptr);
    }
    static void TearDownTestSuite()
    {
        delete bubble;
        delete owner;
    }
    void SetUp() override
    {
        ASSERT_TRUE(::IsWindow(Hwnd()));
        ASSERT_EQ(1, bubble->LoadBKImage(CString(L"img_tip_bk.png")));
        EXPECT_EQ(1, bubble->LoadArrowLImage(CString(L"img_tip_arrow_left.png")));
        EXPECT_EQ(1, bubble->LoadArrowRImage(CString(L"img_tip_arrow_right.png")));
        EXPECT_EQ(1, bubble->LoadArrowTImage(CString(L"img_tip_arrow_top.png")));
        ASSERT_TRUE(bubble->HasFontFamily()) << "the embedded font";
        ::KillTimer(Hwnd(), MAirBladder::kHideTimer);
    }

    static HWND Hwnd() { return bubble->GetSafeHwnd(); }
    // Whether the auto-hide timer was running (it is stopped by asking).
    static bool TimerWasRunning() { return ::KillTimer(Hwnd(), MAirBladder::kHideTimer) != FALSE; }

    static HostDialog* owner;
    static MAirBladder* bubble;
};

HostDialog* Bubble::owner = nullptr;
MAirBladder* Bubble::bubble = nullptr;

TEST_F(Bubble, WindowIsAToolWindowWithARoundedRegion)
{
    EXPECT_EQ(WS_EX_TOOLWINDOW, ::GetWindowLongW(Hwnd(), GWL_EXSTYLE) & ~WS_EX_LAYERED);
    EXPECT_FALSE(::GetWindowLongW(Hwnd(), GWL_STYLE) & WS_CAPTION);
    ASSERT_EQ(
        1, bubble->SetAirBladderMsg(L"Region", POINT{400, 300}, AIRBLADDER_TYPE_CENTER, AIRBLADDER_MODE_3));
    PumpMessages(20);
    GdiObject<HRGN> region(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(ERROR, ::GetWindowRgn(Hwnd(), region.get()));
    const CRect rc = WindowRect(Hwnd());
    EXPECT_FALSE(::PtInRegion(region.get(), 0, 0)) << "rounded corner";
    EXPECT_TRUE(::PtInRegion(region.get(), rc.Width() / 2, rc.Height() / 2));
    EXPECT_TRUE(::GetWindowLongW(Hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED) << "presented per-pixel";
}

TEST_F(Bubble, LayoutByModeAroundTheAnchor)
{
    const POINT anchor = {500, 400};
    ASSERT_EQ(1, bubble->SetAirBladderMsg(L"Tip text", anchor, AIRBLADDER_TYPE_CENTER, AIRBLADDER_MODE_3));
    CRect rc = WindowRect(Hwnd());
    // Mode 3: (x - 25, y, x + Tw + 15, y + L + 30); recover the text width and the line height.
    EXPECT_EQ(475, rc.left);
    EXPECT_EQ(400, rc.top);
    const int tw = rc.right - 515;
    const int l = rc.bottom - 430;
    EXPECT_GT(tw, 20);
    EXPECT_GE(l, 14);
    EXPECT_LT(l, 30);

    bubble->SetAirBladderMsg(L"Tip text", anchor, AIRBLADDER_TYPE_CENTER, AIRBLADDER_MODE_1);
    rc = WindowRect(Hwnd());
    EXPECT_EQ(CRect(500, 400 - l / 2 - 10, 500 + tw + 40, 400 - l / 2 - 10 + l + 20), rc);

    bubble->SetAirBladderMsg(L"Tip text", anchor, AIRBLADDER_TYPE_CENTER, AIRBLADDER_MODE_2);
    EXPECT_EQ(CRect(500 - tw - 40, 373, 500, 400 + l - 7), WindowRect(Hwnd()));

    bubble->SetAirBladderMsg(L"Tip text", anchor, AIRBLADDER_TYPE_CENTER, AIRBLADDER_MODE_4);
    const int left = 500 - (tw + 30) / 2;
    EXPECT_EQ(CRect(left, 400 - l - 20, left + tw + 30, 400), WindowRect(Hwnd()));

    // Two lines double the text height.
    bubble->SetAirBladderMsg(L"Tip text\nTip text", anchor, AIRBLADDER_TYPE_CENTER, AIRBLADDER_MODE_3);
    EXPECT_EQ(2 * l + 30, WindowRect(Hwnd()).Height());
    EXPECT_EQ(2, bubble->GetLineCount());
}

TEST_F(Bubble, OneLineIsCentredAndSeveralLinesAreLeftAligned)
{
    bubble->SetAirBladderMsg(L"One line", POINT{300, 300}, AIRBLADDER_TYPE_CENTER, AIRBLADDER_MODE_1);
    EXPECT_EQ(Gdiplus::StringAlignmentCenter, bubble->GetTextAlignment());
    bubble->SetAirBladderMsg(L"First line\nSecond line", POINT{300, 300}, AIRBLADDER_TYPE_CENTER,
                             AIRBLADDER_MODE_1);
    EXPECT_EQ(Gdiplus::StringAlignmentNear, bubble->GetTextAlignment());
    // Mode 4 centres whatever the line count.
    bubble->SetAirBladderMsg(L"First line\nSecond line", POINT{300, 300}, AIRBLADDER_TYPE_CENTER,
                             AIRBLADDER_MODE_4);
    EXPECT_EQ(Gdiplus::StringAlignmentCenter, bubble->GetTextAlignment());
}

TEST_F(Bubble, SameMessageTwiceNeitherMovesNorRestartsTheTimer)
{
    const POINT anchor = {350, 250};
    ASSERT_EQ(1, bubble->SetAirBladderMsg(L"Same", anchor, AIRBLADDER_TYPE_CENTER, AIRBLADDER_MODE_3));
    EXPECT_TRUE(TimerWasRunning());
    // Move the bubble away; an identical request must not lay it out again.
    ::SetWindowPos(Hwnd(), nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(1, bubble->SetAirBladderMsg(L"Same", anchor, AIRBLADDER_TYPE_CENTER, AIRBLADDER_MODE_3));
    EXPECT_EQ(10, WindowRect(Hwnd()).left);
    EXPECT_FALSE(TimerWasRunning());

    // Any difference lays it out and starts the timer again.
    EXPECT_EQ(1, bubble->SetAirBladderMsg(L"Same", anchor, AIRBLADDER_TYPE_CENTER, AIRBLADDER_MODE_1));
    EXPECT_EQ(350, WindowRect(Hwnd()).left);
    EXPECT_TRUE(TimerWasRunning());

    // An empty text is stored but leaves the window where it was.
    const CRect before = WindowRect(Hwnd());
    EXPECT_EQ(1, bubble->SetAirBladderMsg(L"", POINT{50, 60}, AIRBLADDER_TYPE_CENTER, AIRBLADDER_MODE_3));
    EXPECT_EQ(before, WindowRect(Hwnd()));
    EXPECT_EQ(50, bubble->GetAnchor().x);
    EXPECT_TRUE(bubble->GetText().IsEmpty());
}

TEST_F(Bubble, HidesOnItsTimerAndOnFocusLossButTypeFourHasNoTimer)
{
    bubble->SetAirBladderMsg(L"Stays", POINT{300, 300}, AIRBLADDER_TYPE_STAY, AIRBLADDER_MODE_3);
    EXPECT_FALSE(TimerWasRunning()) << "type 4 stays until its owner hides it";

    bubble->ShowWindow(SW_SHOWNOACTIVATE);
    ASSERT_TRUE(bubble->IsWindowVisible());
    // Mode 5 ignores focus loss.
    bubble->SetAirBladderMsg(L"Stays", POINT{300, 300}, AIRBLADDER_TYPE_STAY, AIRBLADDER_MODE_5);
    ::SendMessageW(Hwnd(), WM_KILLFOCUS, 0, 0);
    EXPECT_TRUE(bubble->IsWindowVisible());
    // Other modes hide on focus loss.
    bubble->SetAirBladderMsg(L"Stays", POINT{300, 300}, AIRBLADDER_TYPE_STAY, AIRBLADDER_MODE_3);
    ::SendMessageW(Hwnd(), WM_KILLFOCUS, 0, 0);
    EXPECT_FALSE(bubble->IsWindowVisible());

    // The auto-hide tick (id 10) hides; other ids do not.
    bubble->SetAirBladderMsg(L"Goes", POINT{300, 300}, AIRBLADDER_TYPE_CENTER, AIRBLADDER_MODE_3);
    bubble->ShowWindow(SW_SHOWNOACTIVATE);
    ::SendMessageW(Hwnd(), WM_TIMER, 11, 0);
    EXPECT_TRUE(bubble->IsWindowVisible());
    ::SendMessageW(Hwnd(), WM_TIMER, MAirBladder::kHideTimer, 0);
    EXPECT_FALSE(bubble->IsWindowVisible());
    EXPECT_FALSE(TimerWasRunning()) << "the tick stops its timer";
}

TEST(BubbleWithoutImages, TextStillLaysOut)
{
    HostDialog owner;
    MAirBladder bubble;
    bubble.Create(owner.GetSafeHwnd(), L"AirBladder Window", 0x86000080, 0, CRect(), nullptr);
    EXPECT_EQ(0, bubble.LoadBKImage(CString(L"no_such_tip.png")));
    EXPECT_FALSE(bubble.HasBackImage());
    EXPECT_EQ(1,
              bubble.SetAirBladderMsg(L"Bare", POINT{200, 200}, AIRBLADDER_TYPE_CENTER, AIRBLADDER_MODE_3));
    EXPECT_EQ(175, WindowRect(bubble.GetSafeHwnd()).left);
}

} // namespace

namespace
{

HWND FindBubbleOf(HWND owner)
{
    HWND found = nullptr;
    for (HWND w = ::FindWindowExW(nullptr, nullptr, L"MWindow", L"AirBladder Window"); w;
         w = ::FindWindowExW(nullptr, w, L"MWindow", L"AirBladder Window"))
        if (::GetWindow(w, GW_OWNER) == owner)
            found = w;
    return found;
}

TEST(ImageButtonTip, HoverShowsTheTitleBesideTheButtonAndLeavingHidesIt)
{
    HostDialog dialog(200, 100, true);
    ::SetForegroundWindow(dialog.GetSafeHwnd());
    auto* button = static_cast<CImageButton*>(
        dialog.CreateControl(L"CImageButton", 1, CRect(10, 10, 38, 38), L"Settings", 1, 1));
    ASSERT_NE(nullptr, button);
    button->SetImage(L"img_set.png", 4);
    button->SetAlrBladderMode(AIRBLADDER_MODE_1);
    PaintManager& pm = dialog.GetPaintManager();

    // The real pointer rests over the button too, or the hover tracking reports a leave.
    POINT over = {20, 20};
    ::ClientToScreen(dialog.GetSafeHwnd(), &over);
    ::SetCursorPos(over.x, over.y);
    pm.OnMouseMove(0, CPoint(20, 20));
    ASSERT_EQ(MButton::STATE_HOVER, button->GetState());
    HWND tip = FindBubbleOf(dialog.GetSafeHwnd());
    ASSERT_NE(nullptr, tip);
    PumpMessages(200);
    // The tip must not take the focus from the dialog (which would end the hover and the tip).
    EXPECT_TRUE(::IsWindowVisible(tip));
    EXPECT_EQ(MButton::STATE_HOVER, button->GetState());
    EXPECT_NE(tip, ::GetActiveWindow());
    // Anchored at the middle of the right edge, in screen coordinates (mode 1: left = x).
    POINT anchor = {38, 24};
    ::ClientToScreen(dialog.GetSafeHwnd(), &anchor);
    CRect rc;
    ::GetWindowRect(tip, &rc);
    EXPECT_EQ(anchor.x, rc.left);

    pm.OnMouseMove(0, CPoint(150, 80));
    EXPECT_EQ(MButton::STATE_NORMAL, button->GetState());
    EXPECT_FALSE(::IsWindowVisible(tip));
}

} // namespace

namespace
{
// A derived bubble that records the hooks its dispatcher reaches.
class HookedBubble : public MAirBladder
{
public:
    LRESULT OnLButtonDown(UINT keys, CPoint pt) override
    {
        seen.push_back("down " + std::to_string(keys) + " " + std::to_string(pt.x) + "," +
                       std::to_string(pt.y));
        return MAirBladder::OnLButtonDown(keys, pt);
    }
    LRESULT OnRButtonUp(UINT, CPoint) override
    {
        seen.push_back("right up");
        return 0;
    }
    LRESULT OnMouseLeave(WPARAM, LPARAM) override
    {
        seen.push_back("leave");
        return 0;
    }
    LRESULT OnWindowPosChanged(WINDOWPOS* pos) override
    {
        seen.push_back("moved to " + std::to_string(pos->x));
        return 1;
    }
    LRESULT OnKeyDown(UINT, UINT, UINT) override
    {
        seen.push_back("key");
        return 0;
    }
    std::vector<std::string> seen;
};
} // namespace

TEST(BubbleHooks, ADerivedBubbleSeesTheMessagesItsDispatcherRoutes)
{
    HookedBubble bubble;
    // Hidden: nothing here needs the bubble on the screen.
    HWND hwnd = bubble.Create(nullptr, L"hooked", WS_POPUP, 0, CRect(10, 10, 60, 40), nullptr);
    ASSERT_NE(nullptr, hwnd);
    bubble.seen.clear();
    ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, -3));
    ::SendMessageW(hwnd, WM_RBUTTONUP, 0, MAKELPARAM(1, 1));
    ::SendMessageW(hwnd, WM_MOUSELEAVE, 0, 0);
    ::SetWindowPos(hwnd, nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Key strokes are not routed to a hook, as for a dialog.
    ::SendMessageW(hwnd, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ((std::vector<std::string>{"down 1 5,-3", "right up", "leave", "moved to 20"}), bubble.seen);
    bubble.DestroyWindow();
}
