#include "tests/tessel/MessagePump.h"

#include "tessel/window/MWindow.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Tessel;

namespace
{
const ::testing::Environment* const g_env = ::testing::AddGlobalTestEnvironment(new TesselEnvironment);

class CountingWindow : public MWindow
{
public:
    int OnInitDialog() override
    {
        ++initCount;
        return 1;
    }
    void OnDestroyMessage(HWND hwnd) override
    {
        destroyedHandle = hwnd;
        handleAtDestroyMessage = GetSafeHwnd();
    }
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        messages.push_back(msg);
        if (msg == WM_NCDESTROY)
            sawNcDestroy = true;
        return MWindow::OnWindowMessage(msg, wParam, lParam);
    }

    int initCount = 0;
    HWND destroyedHandle = nullptr;
    HWND handleAtDestroyMessage = reinterpret_cast<HWND>(1);
    bool sawNcDestroy = false;
    std::vector<UINT> messages;
};

class StaticSuperclass : public MWindow
{
public:
    const wchar_t* GetWindowClassName() const override { return L"TesselTestStatic"; }
    const wchar_t* GetSuperClassName() const override { return L"STATIC"; }
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_SETTEXT)
            ++setTextSeen;
        return MWindow::OnWindowMessage(msg, wParam, lParam);
    }
    int setTextSeen = 0;
};
} // namespace

TEST(MWindow, CreateTwiceReturnsTheSameWindowAndInitialisesOnce)
{
    CountingWindow w;
    HWND first = w.Create(nullptr, L"first", WS_POPUP, 0, CRect(10, 10, 110, 60));
    ASSERT_NE(nullptr, first);
    HWND second = w.Create(nullptr, L"second", WS_POPUP, 0, CRect(0, 0, 50, 50));
    EXPECT_EQ(first, second);
    EXPECT_EQ(1, w.initCount);
    CString title;
    w.GetWindowTextW(title);
    EXPECT_STREQ(L"first", title.GetString());
    w.DestroyWindow();
}

TEST(MWindow, TwoObjectsShareTheRegisteredClass)
{
    CountingWindow a;
    CountingWindow b;
    EXPECT_EQ(1, a.RegisterWindowClass());
    EXPECT_EQ(1, b.RegisterWindowClass()); // already registered counts as success
    ASSERT_NE(nullptr, a.Create(nullptr));
    ASSERT_NE(nullptr, b.Create(nullptr, CRect(0, 0, 40, 30)));
    wchar_t cls[64] = {};
    ::GetClassNameW(b.GetSafeHwnd(), cls, 64);
    EXPECT_STREQ(L"MWindow", cls);
    CString title;
    a.GetWindowTextW(title);
    EXPECT_STREQ(L"MWindow", title.GetString());
    a.DestroyWindow();
    b.DestroyWindow();
}

TEST(MWindow, NcDestroyUnbindsAndAllowsCreatingAgain)
{
    CountingWindow w;
    HWND hwnd = w.Create(nullptr, L"x", WS_POPUP, 0, CRect(0, 0, 20, 20));
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(hwnd, w.GetSafeHwnd());
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&w), ::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    ASSERT_TRUE(w.DestroyWindow());
    EXPECT_EQ(hwnd, w.destroyedHandle);
    EXPECT_EQ(nullptr, w.handleAtDestroyMessage); // already cleared when the hook runs
    EXPECT_FALSE(w.sawNcDestroy);                 // never reaches OnWindowMessage
    EXPECT_EQ(nullptr, w.GetSafeHwnd());

    HWND again = w.Create(nullptr, L"y", WS_POPUP, 0, CRect(0, 0, 20, 20));
    EXPECT_NE(nullptr, again);
    EXPECT_EQ(2, w.initCount);
    w.DestroyWindow();
}

TEST(MWindow, WrappersWithoutAWindowFailQuietly)
{
    CountingWindow w;
    EXPECT_EQ(-1, w.GetWindowTextLengthW());
    EXPECT_EQ(0xFFFFFFFFu, w.ShowModal(SW_SHOW));
    EXPECT_EQ(0u, w.GetStyle());
    EXPECT_EQ(0, w.SendMessageW(WM_USER));
    EXPECT_FALSE(w.PostMessageW(WM_USER));
    EXPECT_EQ(0, w.ModifyStyle(0, WS_VISIBLE));
    CString text(L"kept");
    EXPECT_EQ(0, w.GetWindowTextW(text));
    RECT rc{1, 2, 3, 4};
    EXPECT_FALSE(w.GetClientRect(&rc));
    EXPECT_EQ(0u, w.SetTimer(1, 10));
    w.CenterWindow(); // must not touch anything
}

TEST(MWindow, ModifyStyleReportsWhetherAnythingChanged)
{
    CountingWindow w;
    ASSERT_NE(nullptr, w.Create(nullptr, L"s", WS_POPUP, 0, CRect(0, 0, 20, 20)));
    EXPECT_EQ(0, w.ModifyStyle(0, WS_POPUP));
    EXPECT_EQ(1, w.ModifyStyle(0, WS_CLIPCHILDREN, SWP_FRAMECHANGED));
    EXPECT_TRUE(w.GetStyle() & WS_CLIPCHILDREN);
    EXPECT_EQ(1, w.ModifyExStyle(0, WS_EX_TOOLWINDOW));
    EXPECT_TRUE(w.GetExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_EQ(0, w.ModifyExStyle(WS_EX_LAYERED, 0));
    w.DestroyWindow();
}

TEST(MWindow, SuperclassKeepsTheBaseProcedureAndUsesTheControlProperty)
{
    StaticSuperclass s;
    HWND hwnd = s.Create(nullptr, L"static text", WS_POPUP, 0, CRect(0, 0, 80, 20));
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(static_cast<HANDLE>(&s), ::GetPropW(hwnd, L"Control"));
    EXPECT_TRUE(s.SetWindowTextW(L"changed"));
    EXPECT_GE(s.setTextSeen, 1);
    CString text;
    s.GetWindowTextW(text);
    EXPECT_STREQ(L"changed", text.GetString()); // stored by the static class's own procedure
    wchar_t cls[64] = {};
    ::GetClassNameW(hwnd, cls, 64);
    EXPECT_STREQ(L"TesselTestStatic", cls);
    s.DestroyWindow();
    EXPECT_EQ(nullptr, s.GetSafeHwnd());
}

TEST(MWindow, CenterWindowWithoutReferenceUsesTheWorkArea)
{
    CountingWindow w;
    ASSERT_NE(nullptr, w.Create(nullptr, L"c", WS_POPUP, 0, CRect(0, 0, 300, 200)));
    w.CenterWindow();
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    CRect rc;
    w.GetWindowRect(&rc);
    EXPECT_EQ((work.left + work.right) / 2 - 150, rc.left);
    EXPECT_EQ((work.top + work.bottom) / 2 - 100, rc.top);
    EXPECT_EQ(300, rc.Width());
    w.DestroyWindow();
}

TEST(MWindow, CenterWindowOverAVisibleWindowIsClampedToTheWorkArea)
{
    CountingWindow over;
    ASSERT_NE(nullptr,
              over.Create(nullptr, L"o", WS_POPUP | WS_VISIBLE, WS_EX_LAYERED, CRect(0, 0, 100, 100)));
    CountingWindow w;
    ASSERT_NE(nullptr, w.Create(nullptr, L"c", WS_POPUP, 0, CRect(0, 0, 300, 200)));
    w.CenterWindow(&over);
    CRect rc;
    w.GetWindowRect(&rc);
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // Centred on (50, 50) it would pass the left and top edges: moved to touch them.
    EXPECT_EQ(work.left, rc.left);
    EXPECT_EQ(work.top, rc.top);
    w.DestroyWindow();
    over.DestroyWindow();
}
