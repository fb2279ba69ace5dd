#include "tests/tessel/MControlTestSupport.h"

#include "tessel/controls/MControlFont.h"
#include "tessel/paint/PaintManager.h"
#include "tessel/window/MDialog.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Tessel;

namespace
{

class ImageControl : public MControlFont
{
public:
    using MControlFont::MControlFont;
    int DrawControl(HDC&, CRect) override { return 0; }
};

// A real, visible dialog window holding probe controls. One window serves the whole suite:
// without a window manager, taking a mapped window down costs Wine about two seconds.
class WindowFixture : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        dialog = new MDialog;
        hwnd = dialog->Create(nullptr, L"controls", WS_POPUP | WS_VISIBLE, 0, CRect(50, 50, 350, 250));
    }
    static void TearDownTestSuite()
    {
        if (::IsWindow(hwnd))
            ::DestroyWindow(hwnd);
        delete dialog;
        dialog = nullptr;
    }
    void SetUp() override { ASSERT_NE(hwnd, nullptr); }
    void TearDown() override
    {
        manager().ClearControls();
        manager().SetLayeredWindow(FALSE);
        manager().ClearTooltip();
    }
    static PaintManager& manager() { return dialog->GetPaintManager(); }
    ProbeControl* Add(UINT id, CRect rect, const char* name)
    {
        auto* probe = new ProbeControl(dialog, id, rect, &log, name);
        manager().AddControl(probe, 1);
        return probe;
    }
    // Paints now whatever is invalid.
    void Paint() { ::UpdateWindow(hwnd); }
    CRect PendingUpdate()
    {
        CRect rect;
        ::GetUpdateRect(hwnd, &rect, FALSE);
        return rect;
    }
    size_t Count(const char* entry) const { return std::count(log.begin(), log.end(), entry); }

    std::vector<std::string> log;
    static MDialog* dialog;
    static HWND hwnd;
};

MDialog* WindowFixture::dialog = nullptr;
HWND WindowFixture::hwnd = nullptr;

} // namespace

TEST_F(WindowFixture, PaintPassesRenderOnlyStaleCaches)
{
    ProbeControl* probe = Add(1, CRect(10, 10, 60, 40), "p");
    manager().Invalidate();
    Paint();
    EXPECT_EQ(probe->renders, 1);
    const size_t draws = Count("p:draw 0,0");
    EXPECT_GE(draws, 1u);

    // A look-only change redraws from the cache.
    probe->UpdateControl(0, 0);
    Paint();
    EXPECT_GT(Count("p:draw 0,0"), draws);
    EXPECT_EQ(probe->renders, 1);

    // A content change renders again.
    probe->UpdateControl(1, 0);
    Paint();
    EXPECT_EQ(probe->renders, 2);
}

TEST_F(WindowFixture, InvalidateRectCoversTheControlOrTheWholeLayeredWindow)
{
    ProbeControl* probe = Add(1, CRect(10, 20, 60, 40), "p");
    Paint();
    ::ValidateRect(hwnd, nullptr);
    probe->InvalidateRect(nullptr, FALSE);
    EXPECT_EQ(PendingUpdate(), CRect(10, 20, 60, 40));
    ::ValidateRect(hwnd, nullptr);
    const RECT part = {15, 25, 20, 30};
    probe->InvalidateRect(&part, FALSE);
    EXPECT_EQ(PendingUpdate(), CRect(10, 20, 60, 40)); // its own, whatever is named

    ::ValidateRect(hwnd, nullptr);
    manager().SetLayeredWindow(TRUE);
    probe->InvalidateRect(nullptr, FALSE);
    CRect client;
    ::GetClientRect(hwnd, &client);
    EXPECT_EQ(PendingUpdate(), client);
}

TEST_F(WindowFixture, WindowMessagesReachTheChildThroughItsContainer)
{
    ProbeControl* container = Add(1, CRect(0, 0, 200, 150), "P");
    auto* child = new ProbeControl(container, 2, CRect(20, 20, 80, 60), &log, "C");
    container->AddControl(child);
    EXPECT_EQ(child->GetManager(), &manager());

    ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(30, 30));
    EXPECT_EQ(container->GetHoverChild(), child);
    ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30));
    ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(30, 30));
    EXPECT_EQ(Count("C:ldown 30,30"), 1u);
    EXPECT_EQ(Count("C:lup 30,30"), 1u);
    EXPECT_EQ(Count("P:ldown 30,30"), 0u);
    EXPECT_EQ(manager().GetFocusControl(), child);
}

TEST_F(WindowFixture, TooltipShowsThroughTheWindowsTooltipControl)
{
    ProbeControl* probe = Add(9, CRect(10, 10, 60, 40), "p");
    probe->SetTooltip(L"Close");
    ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    EXPECT_EQ(manager().GetTooltipCtrlID(), 9);
    EXPECT_NE(manager().GetTooltipWindow(), nullptr);
    probe->ClearTooltip();
    EXPECT_EQ(manager().GetTooltipCtrlID(), 0);
}

TEST(WindowResources, EachWindowHasItsOwnImagesAndEmbeddedFontUntilItCloses)
{
    SkinPng strip(40, 10);
    MDialog first, second;
    HWND one = first.Create(nullptr, L"one", WS_POPUP, 0, CRect(0, 0, 100, 100));
    HWND two = second.Create(nullptr, L"two", WS_POPUP, 0, CRect(0, 0, 100, 100));
    ASSERT_NE(one, nullptr);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(first.GetPaintManager().GetTempFontStore().GetGDIFontCount(), 1u);

    auto* a = new ImageControl(&first, 1, CRect(0, 0, 10, 10), L"", 1, 1, 1);
    auto* b = new ImageControl(&second, 1, CRect(0, 0, 10, 10), L"", 1, 1, 1);
    first.GetPaintManager().AddControl(a, 1);
    second.GetPaintManager().AddControl(b, 1);
    ASSERT_EQ(a->SetImage(strip.name(), 4), 1);
    ASSERT_EQ(b->SetImage(strip.name(), 4), 1);
    EXPECT_NE(a->GetImage(), b->GetImage());
    EXPECT_EQ(a->GetImageSize(), CSize(10, 10));

    ::DestroyWindow(one);
    EXPECT_EQ(first.GetPaintManager().GetImageCache().Count(), 0u);
    EXPECT_EQ(first.GetPaintManager().GetTempFontStore().GetGDIFontCount(), 0u);
    EXPECT_EQ(second.GetPaintManager().GetImageCache().Count(), 1u);
    EXPECT_EQ(b->GetImage()->GetWidth(), 40u);
    ::DestroyWindow(two);
}
