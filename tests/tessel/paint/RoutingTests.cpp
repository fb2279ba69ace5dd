#include "tests/tessel/PaintTestDialog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace Tessel;

namespace
{
const ::testing::Environment* const g_env = ::testing::AddGlobalTestEnvironment(new TesselEnvironment);

void SetModifiers(bool shift, bool ctrl, bool alt)
{
    BYTE state[256] = {};
    ::GetKeyboardState(state);
    state[VK_SHIFT] = shift ? 0x80 : 0;
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    state[VK_MENU] = alt ? 0x80 : 0;
    ::SetKeyboardState(state);
}

int Tab(TestDialog& dlg)
{
    MSG msg{dlg.GetSafeHwnd(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    return dlg.PreTranslateMessage(&msg);
}
} // namespace

TEST(Routing, HoverFollowsTheMouseAndTheLastResponsiveControlWins)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, dlg.Open());
    RecordingControl* below = dlg.Add(1, CRect(10, 10, 110, 60));
    RecordingControl* above = dlg.Add(2, CRect(50, 20, 150, 80));
    PaintManager& pm = dlg.GetPaintManager();

    dlg.MoveTo(CPoint(20, 20));
    EXPECT_EQ(below, pm.GetHoverControl());
    dlg.MoveTo(CPoint(120, 70));
    EXPECT_EQ(above, pm.GetHoverControl());
    EXPECT_TRUE(below->Saw("move(120,70)")); // every control sorts out its own leave
    dlg.MoveTo(CPoint(60, 30));              // inside both: on top, and the hover sticks
    EXPECT_EQ(above, pm.GetHoverControl());
    EXPECT_TRUE(above->Saw("move(60,30)"));
    EXPECT_FALSE(below->Saw("move(60,30)"));
    dlg.MoveTo(CPoint(20, 20));
    EXPECT_EQ(below, pm.GetHoverControl());
    dlg.MoveTo(CPoint(200, 150));
    EXPECT_EQ(nullptr, pm.GetHoverControl());
    dlg.DestroyWindow();
}

TEST(Routing, PressLeaveReleaseKeepsTheHoverUntilRelease)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, dlg.Open());
    RecordingControl* button = dlg.Add(1, CRect(10, 10, 110, 60));
    PaintManager& pm = dlg.GetPaintManager();

    dlg.MoveTo(CPoint(30, 30));
    ASSERT_EQ(button, pm.GetHoverControl());
    dlg.SendMessageW(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30));
    EXPECT_TRUE(button->Saw("down(30,30)"));
    EXPECT_TRUE(pm.IsCaptured());
    EXPECT_EQ(button, pm.GetFocusControl());

    dlg.SendMessageW(WM_MOUSELEAVE, 0, 0);
    dlg.SendMessageW(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-20, -20));
    EXPECT_EQ(button, pm.GetHoverControl());

    dlg.SendMessageW(WM_LBUTTONUP, 0, MAKELPARAM(-20, -20));
    EXPECT_TRUE(button->Saw("up(-20,-20)"));
    EXPECT_EQ(nullptr, pm.GetHoverControl()); // released outside
    EXPECT_FALSE(pm.IsCaptured());
    dlg.DestroyWindow();
}

TEST(Routing, DeactivationReleasesAPressedControlAtMinusOne)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, dlg.Open());
    RecordingControl* pressed = dlg.Add(1, CRect(10, 10, 110, 60));
    dlg.MoveTo(CPoint(30, 30));
    dlg.SendMessageW(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30));
    dlg.SendMessageW(WM_NCACTIVATE, FALSE, 0);
    EXPECT_TRUE(pressed->Saw("up(-1,-1)"));
    EXPECT_EQ(nullptr, dlg.GetPaintManager().GetHoverControl());
    EXPECT_FALSE(dlg.GetPaintManager().IsPressed());

    // Without a press the hover only hears that the mouse went away.
    dlg.MoveTo(CPoint(40, 40));
    ASSERT_EQ(pressed, dlg.GetPaintManager().GetHoverControl());
    pressed->events.clear();
    dlg.SendMessageW(WM_NCACTIVATE, FALSE, 0);
    EXPECT_TRUE(pressed->Saw("move(-1,-1)"));
    EXPECT_FALSE(pressed->Saw("up(-1,-1)"));
    dlg.DestroyWindow();
}

TEST(Routing, TabAndShiftTabWalkVisibleEnabledTabStops)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, dlg.Open());
    RecordingControl* a = dlg.Add(1, CRect(0, 0, 10, 10));
    RecordingControl* plain = dlg.Add(2, CRect(20, 0, 30, 10));
    RecordingControl* disabled = dlg.Add(3, CRect(40, 0, 50, 10));
    RecordingControl* d = dlg.Add(4, CRect(60, 0, 70, 10));
    RecordingControl* hidden = dlg.Add(5, CRect(80, 0, 90, 10));
    for (RecordingControl* c : {a, disabled, d, hidden})
        c->SetTabStop(1);
    disabled->SetEnabled(0);
    hidden->SetVisible(0);
    (void)plain;
    PaintManager& pm = dlg.GetPaintManager();

    SetModifiers(false, false, false);
    EXPECT_EQ(1, Tab(dlg));
    EXPECT_EQ(a, pm.GetFocusControl());
    EXPECT_EQ(1, Tab(dlg));
    EXPECT_EQ(d, pm.GetFocusControl());
    EXPECT_EQ(1, Tab(dlg)); // wraps
    EXPECT_EQ(a, pm.GetFocusControl());
    EXPECT_EQ((std::vector<int>{1, 0, 1}), a->focusCalls);

    SetModifiers(true, false, false);
    EXPECT_EQ(1, Tab(dlg)); // Shift+Tab from the first wraps to the last
    EXPECT_EQ(d, pm.GetFocusControl());
    EXPECT_EQ(1, Tab(dlg));
    EXPECT_EQ(a, pm.GetFocusControl());

    SetModifiers(false, true, false);
    EXPECT_EQ(0, Tab(dlg)); // Ctrl+Tab is not ours
    SetModifiers(false, false, true);
    EXPECT_EQ(0, Tab(dlg)); // nor Alt+Tab
    EXPECT_EQ(a, pm.GetFocusControl());
    SetModifiers(false, false, false);
    dlg.DestroyWindow();
}

TEST(Routing, WheelNeedsAWholeNotch)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, dlg.Open());
    RecordingControl* list = dlg.Add(1, CRect(10, 10, 110, 60));
    dlg.MoveTo(CPoint(30, 30));
    const CPoint s = dlg.ToScreen(CPoint(30, 30));
    PaintManager& pm = dlg.GetPaintManager();

    EXPECT_EQ(0, pm.OnWindowMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 119), MAKELPARAM(s.x, s.y)));
    EXPECT_EQ(0, list->scrolls);
    EXPECT_EQ(1, pm.OnWindowMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 240), MAKELPARAM(s.x, s.y)));
    EXPECT_EQ(2, list->scrolls);
    EXPECT_EQ(0u, list->lastScrollFlags); // away from the user
    EXPECT_EQ(
        1, pm.OnWindowMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), MAKELPARAM(s.x, s.y)));
    EXPECT_EQ(3, list->scrolls);
    EXPECT_EQ(1u, list->lastScrollFlags);
    dlg.DestroyWindow();
}

TEST(Routing, KeysGoToTheHoverControlFirst)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, dlg.Open());
    RecordingControl* first = dlg.Add(1, CRect(0, 0, 10, 10));
    RecordingControl* hovered = dlg.Add(2, CRect(50, 50, 90, 90));
    hovered->takeKeys = 1;
    dlg.MoveTo(CPoint(60, 60));
    dlg.SendMessageW(WM_KEYDOWN, 'A', 0);
    EXPECT_EQ((std::vector<UINT>{'A'}), hovered->keys);
    EXPECT_TRUE(first->keys.empty());
    dlg.DestroyWindow();
}

TEST(Routing, BackgroundDragMovesTheWindowOnlyWhenEnabled)
{
    for (BOOL enabled : {TRUE, FALSE})
    {
        TestDialog dlg;
        ASSERT_NE(nullptr, dlg.Open(CRect(300, 300, 620, 520)));
        dlg.EnableWndDrag(enabled);
        dlg.Add(1, CRect(200, 150, 300, 200));
        ::SetForegroundWindow(dlg.GetSafeHwnd());
        const CPoint start = dlg.ToScreen(CPoint(20, 20));
        ::SetCursorPos(start.x, start.y);
        PumpMessages(50);

        // The system's move loop runs inside the button-down message: feed it from another thread.
        std::atomic<bool> fed{false};
        std::thread mouse(
            [start, &fed]
            {
                auto send = [](DWORD flags, int x, int y)
                {
                    INPUT in{};
                    in.type = INPUT_MOUSE;
                    in.mi.dx = x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
                    in.mi.dy = y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
                    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
                    ::SendInput(1, &in, sizeof(in));
                    ::Sleep(60);
                };
                send(0, start.x, start.y);
                send(MOUSEEVENTF_LEFTDOWN, start.x, start.y);
                for (int i = 1; i <= 5; ++i)
                    send(0, start.x + 10 * i, start.y + 8 * i);
                send(MOUSEEVENTF_LEFTUP, start.x + 50, start.y + 40);
                fed = true;
            });
        PumpUntil([&fed] { return fed.load(); }, 10000);
        mouse.join();
        PumpMessages(100);
        CRect rc;
        dlg.GetWindowRect(&rc);
        if (enabled)
            EXPECT_EQ(CPoint(350, 340), rc.TopLeft());
        else
            EXPECT_EQ(CPoint(300, 300), rc.TopLeft());
        dlg.DestroyWindow();
    }
}

TEST(Routing, RealClickReachesTheControlUnderTheMouse)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, dlg.Open(CRect(100, 100, 420, 320)));
    RecordingControl* button = dlg.Add(7, CRect(40, 40, 140, 80));
    ::SetForegroundWindow(dlg.GetSafeHwnd());
    const CPoint at = dlg.ToScreen(CPoint(60, 50));
    std::thread mouse(
        [at]
        {
            INPUT in[3] = {};
            for (INPUT& i : in)
            {
                i.type = INPUT_MOUSE;
                i.mi.dx = at.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
                i.mi.dy = at.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
                i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
            }
            in[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
            in[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
            for (INPUT& i : in)
            {
                ::SendInput(1, &i, sizeof(i));
                ::Sleep(80);
            }
        });
    PumpUntil([button] { return button->Saw("up(60,50)"); });
    mouse.join();
    PumpMessages(50);
    EXPECT_TRUE(button->Saw("down(60,50)"));
    EXPECT_TRUE(button->Saw("up(60,50)"));
    dlg.DestroyWindow();
}

namespace
{
class DraggableControl : public RecordingControl
{
public:
    using RecordingControl::RecordingControl;
    BitmapHandle GetControlDropBitmap() override
    {
        HDC screen = ::GetDC(nullptr);
        BitmapHandle bmp(::CreateCompatibleBitmap(screen, 24, 16));
        ::ReleaseDC(nullptr, screen);
        return bmp;
    }
};

class DropDialog : public TestDialog
{
public:
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == STM_SETIMAGE)
        {
            BITMAP bm{};
            ::GetObjectW(reinterpret_cast<HBITMAP>(lParam), sizeof(bm), &bm);
            dropped = CSize(bm.bmWidth, bm.bmHeight);
            ::DeleteObject(reinterpret_cast<HBITMAP>(lParam));
            return 0;
        }
        return TestDialog::OnWindowMessage(msg, wParam, lParam);
    }
    CSize dropped;
};
} // namespace

TEST(Routing, DraggingAControlDropsItsBitmapOntoTheWindow)
{
    DropDialog dlg;
    ASSERT_NE(nullptr, dlg.Open(CRect(400, 300, 720, 520)));
    auto* source = new DraggableControl(&dlg, 3, CRect(20, 20, 80, 60));
    dlg.GetPaintManager().AddControl(source, 1);
    source->SetDragDrop(1);
    ::SetForegroundWindow(dlg.GetSafeHwnd());
    const CPoint start = dlg.ToScreen(CPoint(30, 30));
    ::SetCursorPos(start.x, start.y);
    dlg.MoveTo(CPoint(30, 30));

    std::thread mouse(
        [start]
        {
            auto send = [](DWORD flags, int x, int y)
            {
                INPUT in{};
                in.type = INPUT_MOUSE;
                in.mi.dx = x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
                in.mi.dy = y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
                in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
                ::SendInput(1, &in, sizeof(in));
                ::Sleep(80);
            };
            send(MOUSEEVENTF_LEFTDOWN, start.x, start.y);
            send(0, start.x + 1, start.y + 1); // a small move starts the drag
            for (int i = 1; i <= 6; ++i)
                send(0, start.x + 20 * i, start.y + 10 * i);
            send(MOUSEEVENTF_LEFTUP, start.x + 120, start.y + 60);
        });
    PumpUntil([&dlg] { return dlg.dropped.cx != 0; }, 3000);
    mouse.join();
    PumpMessages(50);
    EXPECT_EQ(CSize(24, 16), dlg.dropped);
    EXPECT_FALSE(dlg.GetPaintManager().IsPressed());
    dlg.DestroyWindow();
}
