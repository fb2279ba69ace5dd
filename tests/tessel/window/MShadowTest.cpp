#include "tests/tessel/TesselTestKit.h"

#include "tessel/paint/PaintManager.h"
#include "tessel/window/MShadow.h"

#include <functional>

using namespace Tessel;

namespace
{

bool WaitFor(const std::function<bool()>& pred)
{
    for (int i = 0; i < 100 && !pred(); ++i)
        PumpMessages(10);
    return pred();
}

CRect WindowRect(HWND hwnd)
{
    CRect rc;
    ::GetWindowRect(hwnd, &rc);
    return rc;
}

TEST(MShadowLimits, OutOfRangeValuesAreRefusedAndChangeNothing)
{
    MShadow shadow;
    EXPECT_EQ(0, shadow.SetSize(36));
    EXPECT_EQ(0, shadow.SetSize(-36));
    EXPECT_EQ(0, shadow.SetSharpness(36));
    EXPECT_EQ(0, shadow.SetDarkness(256));
    EXPECT_EQ(0, shadow.SetPosition(0, -36));
    EXPECT_EQ(0, shadow.SetPosition(36, 0));
    const ShadowParams& p = shadow.GetParams();
    EXPECT_EQ(0, p.size);
    EXPECT_EQ(5, p.sharpness);
    EXPECT_EQ(150, p.darkness);
    EXPECT_EQ(5, p.xOffset);
    EXPECT_EQ(5, p.yOffset);

    EXPECT_EQ(1, shadow.SetSize(-35));
    EXPECT_EQ(1, shadow.SetSize(35));
    EXPECT_EQ(1, shadow.SetSharpness(35));
    EXPECT_EQ(1, shadow.SetDarkness(255));
    EXPECT_EQ(1, shadow.SetPosition(-35, 35));
    EXPECT_EQ(1, shadow.SetColor(0x123456));
    EXPECT_EQ(35, p.size);
    EXPECT_EQ(-35, p.xOffset);
    EXPECT_EQ(0x123456u, p.color);

    RECT negative = {1, 2, -1, 4};
    EXPECT_EQ(0, shadow.SetShadowCorner(negative));
    RECT margins = {1, 2, 3, 4};
    EXPECT_EQ(1, shadow.SetShadowCorner(margins));
    EXPECT_EQ(3, shadow.GetShadowCorner().right);
}

// Every hide of a mapped window costs the X11 driver a wait for the window manager, so the checks
// share few dialogs.
class ShadowedDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(::IsWindow(dialog.GetSafeHwnd()));
        ASSERT_EQ(1, dialog.CreateShadow(1, false));
        shadow = dialog.GetPaintManager().GetShadow();
        ASSERT_NE(nullptr, shadow);
        PumpMessages(20);
    }

    HostDialog dialog{200, 120, true};
    MShadow* shadow = nullptr;
};

TEST_F(ShadowedDialog, GeometryFollowsTheSettingsAndTheDialog)
{
    HWND wnd = shadow->GetShadowWnd();
    ASSERT_TRUE(::IsWindow(wnd));
    EXPECT_EQ(MShadow::SS_ENABLED | MShadow::SS_VISIBLE | MShadow::SS_PARENT_VISIBLE, shadow->GetStatus());
    EXPECT_TRUE(::GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(::GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_EQ(dialog.GetSafeHwnd(), ::GetWindow(wnd, GW_OWNER));

    // The default size 0 draws nothing: the window was never given a picture.
    EXPECT_TRUE(WindowRect(wnd).IsRectEmpty());

    ASSERT_EQ(1, dialog.SetSize(10));
    CRect d = WindowRect(dialog.GetSafeHwnd());
    CRect s = WindowRect(wnd);
    EXPECT_EQ(d.left + 5 - 10, s.left);
    EXPECT_EQ(d.top + 5 - 10, s.top);
    EXPECT_EQ(d.Width() + 20, s.Width());
    EXPECT_EQ(d.Height() + 20, s.Height());

    // Moving the dialog moves the shadow by the same offset.
    ASSERT_EQ(1, dialog.SetPosition(3, 4));
    ::SetWindowPos(dialog.GetSafeHwnd(), nullptr, 300, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpMessages(20);
    s = WindowRect(wnd);
    EXPECT_EQ(300 + 3 - 10, s.left);
    EXPECT_EQ(250 + 4 - 10, s.top);

    // Image mode: the bitmap is the dialog plus the margins.
    ASSERT_EQ(1, dialog.SetShadowImage(L"img_tip_bk.png", CRect(6, 7, 8, 9)));
    EXPECT_EQ(1, shadow->IsImageMode());
    d = WindowRect(dialog.GetSafeHwnd());
    s = WindowRect(wnd);
    EXPECT_EQ(d.left - 6, s.left);
    EXPECT_EQ(d.top - 7, s.top);
    EXPECT_EQ(d.Width() + 14, s.Width());
    EXPECT_EQ(d.Height() + 16, s.Height());
    // A negative margin: the image still loads, the old margins stay.
    EXPECT_EQ(1, dialog.SetShadowImage(L"img_tip_bk.png", CRect(1, -1, 1, 1)));
    EXPECT_EQ(6, shadow->GetShadowCorner().left);
    EXPECT_EQ(9, shadow->GetShadowCorner().bottom);
    // A missing image is reported; the shadow stays image mode with nothing to draw.
    EXPECT_EQ(0, dialog.SetShadowImage(L"no_such_shadow.png", CRect(6, 7, 8, 9)));
}

TEST_F(ShadowedDialog, VisibilityFollowsTheDialog)
{
    ASSERT_EQ(1, dialog.SetSize(10));
    HWND wnd = shadow->GetShadowWnd();
    EXPECT_TRUE(::IsWindowVisible(wnd));

    ::ShowWindow(dialog.GetSafeHwnd(), SW_MINIMIZE);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(wnd); })) << "minimised: hidden";
    EXPECT_FALSE(shadow->GetStatus() & MShadow::SS_VISIBLE);
    ::ShowWindow(dialog.GetSafeHwnd(), SW_RESTORE);
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(wnd) != FALSE; })) << "restored: shown";
    EXPECT_TRUE(shadow->GetStatus() & MShadow::SS_VISIBLE);
    EXPECT_TRUE(
        WaitFor([&] { return WindowRect(wnd).Width() == WindowRect(dialog.GetSafeHwnd()).Width() + 20; }))
        << "rebuilt for the restored dialog";

    ::ShowWindow(dialog.GetSafeHwnd(), SW_HIDE);
    PumpMessages(20);
    EXPECT_FALSE(::IsWindowVisible(wnd));
    EXPECT_EQ(MShadow::SS_ENABLED, shadow->GetStatus());
    ::ShowWindow(dialog.GetSafeHwnd(), SW_SHOWNOACTIVATE);
    PumpMessages(20);
    EXPECT_TRUE(::IsWindowVisible(wnd));
    EXPECT_EQ(MShadow::SS_ENABLED | MShadow::SS_VISIBLE | MShadow::SS_PARENT_VISIBLE, shadow->GetStatus());

    dialog.GetPaintManager().DisableShadow(1);
    EXPECT_FALSE(::IsWindowVisible(wnd));
    EXPECT_EQ(1, shadow->IsDisableShadow());
    dialog.GetPaintManager().DisableShadow(0);
    EXPECT_TRUE(::IsWindowVisible(wnd));

    // The shadow window dies with the dialog.
    dialog.DestroyWindow();
    PumpMessages(20);
    EXPECT_FALSE(::IsWindow(wnd));
}

TEST(ShadowCopy, CopyShadowHandsTheSettingsOver)
{
    MShadow source;
    source.SetSize(12);
    source.SetSharpness(9);
    source.SetDarkness(99);
    source.SetPosition(-3, 7);
    source.SetColor(0x00AABBCC);
    source.ShowShadow(1);
    MShadow target;
    EXPECT_EQ(1, source.CopyShadow(&target));
    const ShadowParams& p = target.GetParams();
    EXPECT_EQ(12, p.size);
    EXPECT_EQ(9, p.sharpness);
    EXPECT_EQ(99, p.darkness);
    EXPECT_EQ(-3, p.xOffset);
    EXPECT_EQ(7, p.yOffset);
    EXPECT_EQ(0x00AABBCCu, p.color);
    EXPECT_EQ(1, target.IsShowShadow());
    EXPECT_EQ(0, target.IsImageMode());
}

TEST(ShadowCreation, NothingIsCreatedWithoutTheShowFlag)
{
    HostDialog dialog(200, 120, false);
    EXPECT_EQ(0, dialog.CreateShadow(0, false));
    ASSERT_NE(nullptr, dialog.GetPaintManager().GetShadow());
    EXPECT_EQ(nullptr, dialog.GetPaintManager().GetShadow()->GetShadowWnd());
}

TEST(ShadowCreation, HiddenDialogStartsEnabledOnlyAndShowsLater)
{
    HostDialog dialog(200, 120, false);
    ASSERT_EQ(1, dialog.CreateShadow(1, false));
    MShadow* shadow = dialog.GetPaintManager().GetShadow();
    EXPECT_EQ(MShadow::SS_ENABLED, shadow->GetStatus());
    EXPECT_FALSE(::IsWindowVisible(shadow->GetShadowWnd()));
    dialog.SetSize(6);
    ::ShowWindow(dialog.GetSafeHwnd(), SW_SHOWNOACTIVATE);
    PumpMessages(30);
    EXPECT_TRUE(::IsWindowVisible(shadow->GetShadowWnd()));
    // The update deferred to the first paint has sized the picture.
    EXPECT_TRUE(WaitFor([&] { return !WindowRect(shadow->GetShadowWnd()).IsRectEmpty(); }));
}

TEST(ShadowMap, TheEntryGoesWithTheShadowOrWithTheDialog)
{
    HostDialog dialog(200, 120, false);
    const HWND hwnd = dialog.GetSafeHwnd();
    const LONG_PTR ownProc = ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
    MShadow::Initialize(Manager::GetInstance(), false);
    {
        MShadow shadow;
        shadow.ShowShadow(1);
        shadow.Create(nullptr, hwnd);
        EXPECT_EQ(&shadow, MShadow::GetShadowMap().Find(hwnd));
    }
    // The shadow went first: its entry and its hook went with it.
    EXPECT_EQ(nullptr, MShadow::GetShadowMap().Find(hwnd));
    EXPECT_EQ(ownProc, ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));

    ASSERT_EQ(1, dialog.CreateShadow(1, false));
    EXPECT_EQ(dialog.GetPaintManager().GetShadow(), MShadow::GetShadowMap().Find(hwnd));
    dialog.DestroyWindow();
    EXPECT_EQ(nullptr, MShadow::GetShadowMap().Find(hwnd));
}

} // namespace
