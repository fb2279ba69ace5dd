#include "tests/tessel/MessagePump.h"

#include "tessel/controls/MControl.h"
#include "tessel/window/MDialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace Tessel;

namespace
{
constexpr UINT kActionTimer = 7;

// Runs `action` from its first timer tick, i.e. from inside a running ShowModal.
class ScriptedDialog : public MDialog
{
public:
    std::function<void(ScriptedDialog&)> action;
    std::vector<std::string> events;
    CRect initClient;
    CRect sizeClient;
    int initUiCount = 0;
    bool keepOpen = false;
    CPoint lastDown{-100, -100};
    std::vector<UINT> notifications;

    int OnInitDialog() override
    {
        events.push_back("OnInitDialog");
        return MDialog::OnInitDialog();
    }
    void InitUI(CRect client) override
    {
        ++initUiCount;
        initClient = client;
    }
    void UISize(CRect client) override { sizeClient = client; }
    LRESULT OnCreate(CREATESTRUCTW* cs) override
    {
        events.push_back("OnCreate");
        return MDialog::OnCreate(cs);
    }
    void OnTimer(UINT id) override
    {
        if (id == kActionTimer)
        {
            KillTimer(kActionTimer);
            if (action)
                action(*this);
        }
    }
    LONG OnUserCloseWindow(WPARAM wParam, LPARAM lParam) override
    {
        events.push_back("OnUserCloseWindow");
        if (keepOpen)
            return 1;
        return MDialog::OnUserCloseWindow(wParam, lParam);
    }
    LRESULT OnClose() override
    {
        events.push_back("OnClose");
        return MDialog::OnClose();
    }
    LRESULT OnDestroy() override
    {
        events.push_back("OnDestroy");
        return 0;
    }
    LRESULT PostNcDestroy() override
    {
        events.push_back("PostNcDestroy");
        return 0;
    }
    LRESULT OnLButtonDown(UINT, CPoint pt) override
    {
        lastDown = pt;
        return 0;
    }
    LONG OnMessage(UINT id, UINT code, UINT, LONG) override
    {
        notifications.push_back(id * 100 + code);
        return 5;
    }

    // Layered: under Wine without a window manager, destroying a shown plain window waits 2 s.
    HWND CreatePopup(HWND owner = nullptr, DWORD style = WS_POPUP)
    {
        return Create(owner, L"dialog", style, WS_EX_LAYERED, CRect(100, 100, 400, 300));
    }
    void Schedule(std::function<void(ScriptedDialog&)> a)
    {
        action = std::move(a);
        SetTimer(kActionTimer, 10);
    }
};

struct CloseCase
{
    const char* name;
    void (MDialog::*close)();
    UINT result;
};

class ShowModalResult : public ::testing::TestWithParam<CloseCase>
{
};
} // namespace

TEST_P(ShowModalResult, CloseCallsEndTheLoopWithTheirResult)
{
    ScriptedDialog dlg;
    ASSERT_NE(nullptr, dlg.CreatePopup());
    const CloseCase c = GetParam();
    dlg.Schedule([c](ScriptedDialog& d) { (d.*c.close)(); });
    EXPECT_EQ(c.result, dlg.ShowModal(SW_SHOW));
    EXPECT_EQ(nullptr, dlg.GetSafeHwnd());
    const std::vector<std::string> tail(dlg.events.end() - 4, dlg.events.end());
    EXPECT_EQ((std::vector<std::string>{"OnUserCloseWindow", "OnClose", "OnDestroy", "PostNcDestroy"}), tail);
}

INSTANTIATE_TEST_SUITE_P(
    MDialog, ShowModalResult,
    ::testing::Values(CloseCase{"OK", &MDialog::DoOK, 1}, CloseCase{"Cancel", &MDialog::DoCancel, 2},
                      CloseCase{"Close", &MDialog::DoClose, 2}, CloseCase{"Yes", &MDialog::DoYes, 6},
                      CloseCase{"No", &MDialog::DoNo, 7}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

TEST(MDialog, OverridingUserCloseWithoutPostingKeepsTheDialogOpen)
{
    ScriptedDialog dlg;
    ASSERT_NE(nullptr, dlg.CreatePopup());
    dlg.keepOpen = true;
    bool stillOpen = false;
    dlg.Schedule(
        [&stillOpen](ScriptedDialog& d)
        {
            d.DoYes();
            PumpMessages(50);
            stillOpen = ::IsWindow(d.GetSafeHwnd()) != FALSE;
            d.DestroyWindow();
        });
    EXPECT_EQ(0u, dlg.ShowModal(SW_SHOW));
    EXPECT_TRUE(stillOpen);
}

TEST(MDialog, QuitDuringShowModalEndsTheLoopReenablesTheOwnerAndIsPostedAgain)
{
    ScriptedDialog owner;
    ASSERT_NE(nullptr, owner.CreatePopup(nullptr, WS_POPUP | WS_VISIBLE));
    ScriptedDialog dlg;
    ASSERT_NE(nullptr, dlg.CreatePopup(owner.GetSafeHwnd()));
    bool ownerDisabledInside = false;
    dlg.Schedule(
        [&](ScriptedDialog&)
        {
            ownerDisabledInside = !::IsWindowEnabled(owner.GetSafeHwnd());
            ::PostQuitMessage(42);
        });
    EXPECT_EQ(0u, dlg.ShowModal(SW_SHOW));
    EXPECT_TRUE(ownerDisabledInside);
    EXPECT_TRUE(::IsWindowEnabled(owner.GetSafeHwnd()));
    EXPECT_TRUE(::IsWindow(dlg.GetSafeHwnd())); // the dialog itself is still there
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(42u, msg.wParam);
    dlg.DestroyWindow();
    owner.DestroyWindow();
}

TEST(MDialog, ClosingReenablesTheOwner)
{
    ScriptedDialog owner;
    ASSERT_NE(nullptr, owner.CreatePopup(nullptr, WS_POPUP | WS_VISIBLE));
    ScriptedDialog dlg;
    ASSERT_NE(nullptr, dlg.CreatePopup(owner.GetSafeHwnd()));
    dlg.Schedule([](ScriptedDialog& d) { d.DoOK(); });
    EXPECT_EQ(1u, dlg.ShowModal(SW_SHOW));
    EXPECT_TRUE(::IsWindowEnabled(owner.GetSafeHwnd()));
    owner.DestroyWindow();
}

TEST(MDialog, NeverHasASystemCaptionWhateverTheStyle)
{
    ScriptedDialog dlg;
    HWND hwnd =
        dlg.Create(nullptr, L"captioned", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, CRect(50, 50, 350, 250));
    ASSERT_NE(nullptr, hwnd);
    const DWORD style = dlg.GetStyle();
    EXPECT_FALSE(style & WS_CAPTION & ~WS_BORDER);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_CLIPSIBLINGS);
    EXPECT_TRUE(style & WS_CLIPCHILDREN);
    // No frame is left over from the style it was created with: the client fills the window.
    CRect window, client;
    dlg.GetWindowRect(&window);
    dlg.GetClientRect(&client);
    EXPECT_EQ(window.Size(), client.Size());
    dlg.DestroyWindow();
}

TEST(MDialog, EraseBackgroundIsAlwaysHandled)
{
    ScriptedDialog dlg;
    ASSERT_NE(nullptr, dlg.CreatePopup());
    HDC dc = ::GetDC(dlg.GetSafeHwnd());
    EXPECT_EQ(1, ::SendMessageW(dlg.GetSafeHwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
    ::ReleaseDC(dlg.GetSafeHwnd(), dc);
    dlg.DestroyWindow();
}

TEST(MDialog, CreationRunsTheHooksInOrderAndCachesTheClientRectangle)
{
    ScriptedDialog dlg;
    ASSERT_NE(nullptr, dlg.CreatePopup());
    ASSERT_GE(dlg.events.size(), 2u);
    EXPECT_EQ("OnCreate", dlg.events[0]);
    EXPECT_EQ("OnInitDialog", dlg.events[1]);
    EXPECT_EQ(1, dlg.initUiCount);
    EXPECT_EQ(CRect(0, 0, 300, 200), dlg.initClient);
    EXPECT_TRUE(dlg.GetPaintManager().IsInitialized());
    EXPECT_EQ(dlg.GetSafeHwnd(), dlg.GetPaintManager().GetPaintWnd());

    dlg.MoveWindow(100, 100, 320, 240);
    EXPECT_EQ(CRect(0, 0, 320, 240), dlg.sizeClient);
    EXPECT_EQ(CRect(0, 0, 320, 240), dlg.GetCachedClientRect());
    dlg.DestroyWindow();
    EXPECT_FALSE(dlg.GetPaintManager().IsInitialized());
}

TEST(MDialog, MouseHooksSeeThePointBeforeTheManager)
{
    ScriptedDialog dlg;
    ASSERT_NE(nullptr, dlg.CreatePopup());
    dlg.SendMessageW(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-3, 17));
    EXPECT_EQ(CPoint(-3, 17), dlg.lastDown);
    dlg.SendMessageW(WM_LBUTTONUP, 0, MAKELPARAM(-3, 17));
    dlg.DestroyWindow();
}

TEST(MDialog, IdentityAndNotificationChannel)
{
    ScriptedDialog dlg;
    EXPECT_STREQ(L"MDialog", dlg.GetClassNameW());
    EXPECT_EQ(1, dlg.IsClass(L"MDialog"));
    EXPECT_EQ(0, dlg.IsClass(L"mdialog"));
    EXPECT_EQ(0, dlg.IsClass(L"MDialo"));
    EXPECT_EQ(0, dlg.IsClass(nullptr));
    MObject& asObject = dlg;
    EXPECT_EQ(5, asObject.OnBaseMessage(12, 2, 0, 0));
    EXPECT_EQ((std::vector<UINT>{1202}), dlg.notifications);
}

namespace
{
class Box : public MControl
{
public:
    Box(MObject* parent, CRect rc) : MControl(parent, 1, rc, 1, 1, 1) {}
    int DrawControl(HDC&, CRect) override { return 1; }
};
} // namespace

TEST(MDialog, AirBladderPointFollowsTheType)
{
    ScriptedDialog dlg;
    ASSERT_NE(nullptr, dlg.CreatePopup());
    EXPECT_EQ(CPoint(0, 0), CPoint(dlg.GetAirBladderPoint(nullptr, 0)));
    Box* box = new Box(&dlg, CRect(10, 20, 50, 40));
    dlg.GetPaintManager().AddControl(box, 1);
    POINT origin{0, 0};
    ::ClientToScreen(dlg.GetSafeHwnd(), &origin);
    EXPECT_EQ(CPoint(origin.x + 10, origin.y + 40), CPoint(dlg.GetAirBladderPoint(box, 0)));
    EXPECT_EQ(CPoint(origin.x + 30, origin.y + 40), CPoint(dlg.GetAirBladderPoint(box, 1)));
    EXPECT_EQ(CPoint(origin.x + 50, origin.y + 40), CPoint(dlg.GetAirBladderPoint(box, 2)));
    EXPECT_EQ(CPoint(origin.x + 10, origin.y + 40), CPoint(dlg.GetAirBladderPoint(box, 3)));
    dlg.DestroyWindow();
}

TEST(MDialog, DestroyingTheObjectClosesItsWindow)
{
    HWND hwnd = nullptr;
    {
        ScriptedDialog dlg;
        hwnd = dlg.CreatePopup();
        ASSERT_NE(nullptr, hwnd);
        dlg.GetPaintManager().AddControl(new Box(&dlg, CRect(0, 0, 5, 5)), 1);
        // No DestroyWindow: the object goes first.
    }
    EXPECT_FALSE(::IsWindow(hwnd));
    ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, 0); // nothing may reach the freed object
}

TEST(MWindow, DestroyingTheObjectClosesItsWindow)
{
    HWND hwnd = nullptr;
    {
        MWindow w;
        hwnd = w.Create(nullptr, L"short-lived", WS_POPUP, 0, CRect(0, 0, 10, 10));
        ASSERT_NE(nullptr, hwnd);
    }
    EXPECT_FALSE(::IsWindow(hwnd));
}
