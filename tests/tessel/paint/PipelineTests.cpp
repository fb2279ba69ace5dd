#include "tests/tessel/PaintTestDialog.h"
#include "tests/tessel/PixelBuffer.h"

#include "tessel/controls/MControlFont.h"

#include <gtest/gtest.h>

using namespace Tessel;

namespace
{
const ::testing::Environment* const g_env = ::testing::AddGlobalTestEnvironment(new TesselEnvironment);

constexpr int kW = 120;
constexpr int kH = 80;

// The skin background: opaque blue left half, half-transparent green right half, and a fully
// transparent 10-pixel band at the bottom.
DWORD BackgroundPixel(int x, int y)
{
    if (y >= kH - 10)
        return 0x00000000;
    return x < kW / 2 ? 0xFF2040C0 : 0x8020C040;
}

// The buffer holds premultiplied colours: a colour drawn at alpha 0xFE reads one step darker.
::testing::AssertionResult NearColor(DWORD expectedRgb, BYTE alpha, DWORD actual)
{
    if ((actual >> 24) != alpha)
        return ::testing::AssertionFailure() << "alpha " << (actual >> 24);
    for (int shift : {0, 8, 16})
    {
        const int want = static_cast<int>((expectedRgb >> shift) & 0xFF) * alpha / 255;
        const int got = static_cast<int>((actual >> shift) & 0xFF);
        if (got < want - 1 || got > want + 1)
            return ::testing::AssertionFailure() << std::hex << "pixel 0x" << actual;
    }
    return ::testing::AssertionSuccess();
}

// Colour only, for pixels blended over an opaque background.
bool NearRgb(DWORD expectedRgb, DWORD actual)
{
    for (int shift : {0, 8, 16})
    {
        const int d =
            static_cast<int>((expectedRgb >> shift) & 0xFF) - static_cast<int>((actual >> shift) & 0xFF);
        if (d < -2 || d > 2)
            return false;
    }
    return true;
}

// A frame image: 4-pixel border in red, inside white, 16 x 16.
DWORD FramePixel(int x, int y)
{
    const bool border = x < 4 || y < 4 || x >= 12 || y >= 12;
    return border ? 0xFFFF0000 : 0xFFFFFFFF;
}

class Pipeline : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(WriteSkinPng(L"tk_test_bk.png", kW, kH, BackgroundPixel));
        ASSERT_TRUE(WriteSkinPng(L"tk_test_frame.png", 16, 16, FramePixel));
    }
    static void TearDownTestSuite()
    {
        ::DeleteFileW((Manager::GetSkinFolder() + L"tk_test_bk.png").GetString());
        ::DeleteFileW((Manager::GetSkinFolder() + L"tk_test_frame.png").GetString());
    }

    // A hidden dialog whose client is exactly w x h, drawn through RenderClient.
    HWND OpenHidden(TestDialog& dlg, int w, int h, bool layered)
    {
        HWND hwnd = dlg.Create(nullptr, L"pixels", WS_POPUP, 0, CRect(0, 0, w, h));
        dlg.SetLayeredWindow(layered ? TRUE : FALSE);
        return hwnd;
    }
};
} // namespace

TEST_F(Pipeline, WithoutBackgroundImageAOnePixelFrameSurroundsTheFlatColour)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, OpenHidden(dlg, kW, kH, false));
    PixelBuffer buf(kW, kH);
    dlg.GetPaintManager().RenderClient(buf.dc(), buf.bits(), kW, kH, CRect(0, 0, kW, kH));
    for (auto pt :
         {CPoint(0, 0), CPoint(kW - 1, 0), CPoint(0, kH - 1), CPoint(kW - 1, kH - 1), CPoint(50, 0)})
        EXPECT_TRUE(NearColor(0x646464, 0xFE, buf.At(pt.x, pt.y))) << pt.x << "," << pt.y;
    for (auto pt : {CPoint(1, 1), CPoint(kW - 2, kH - 2), CPoint(60, 40)})
        EXPECT_TRUE(NearColor(0xC8C8C8, 0xFE, buf.At(pt.x, pt.y))) << pt.x << "," << pt.y;
    buf.SaveArtifact(L"tessel_pipeline_flat.png");
    dlg.DestroyWindow();
}

TEST_F(Pipeline, LayeredBackgroundKeepsImageAlphaAndGdiPixelsBecomeOpaque)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, OpenHidden(dlg, kW, kH, true));
    ASSERT_EQ(1, dlg.LoadBKImage(CString(L"tk_test_bk.png")));
    dlg.Add(1, CRect(10, 10, 30, 30), 1, RGB(200, 40, 40)); // GDI fill: alpha 0 until fixed up
    dlg.Add(2, CRect(70, 60, 90, 80), 0, RGB(0, 0, 0));     // black GDI pixels stay transparent black

    PixelBuffer buf(kW, kH);
    // Stale content must not survive: the update rectangle is cleared first.
    for (int i = 0; i < kW * kH; ++i)
        buf.bits()[i] = 0xFFABCDEF;
    dlg.GetPaintManager().RenderClient(buf.dc(), buf.bits(), kW, kH, CRect(0, 0, kW, kH));
    buf.SaveArtifact(L"tessel_pipeline_layered.png");

    EXPECT_EQ(0xFF2040C0u, buf.At(5, 5));                    // opaque image pixel
    EXPECT_EQ(0xFFC82828u, buf.At(15, 15));                  // GDI control, alpha fixed up
    EXPECT_TRUE(NearColor(0x20C040, 0x80, buf.At(100, 20))); // half-transparent pixel keeps its alpha
    EXPECT_EQ(0x00000000u, buf.At(5, kH - 5));               // transparent band: nothing drawn there
    EXPECT_EQ(0u, buf.At(75, 75) >> 24);                     // black GDI pixel: no colour, so no alpha
    dlg.DestroyWindow();
}

TEST_F(Pipeline, FrameModeDrawsNineSlicesAndModeTwoDrawsNothing)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, OpenHidden(dlg, 100, 60, true));
    ASSERT_EQ(1, dlg.LoadBKImage(CString(L"tk_test_frame.png")));
    dlg.SetBackMode(BACK_MODE_FRAME, 4);
    PixelBuffer buf(100, 60);
    dlg.GetPaintManager().RenderClient(buf.dc(), buf.bits(), 100, 60, CRect(0, 0, 100, 60));
    buf.SaveArtifact(L"tessel_pipeline_frame.png");
    EXPECT_EQ(0xFFFF0000u, buf.At(0, 0));
    EXPECT_EQ(0xFFFF0000u, buf.At(3, 30));  // left edge, 4 wide
    EXPECT_EQ(0xFFFF0000u, buf.At(99, 59)); // bottom-right corner
    EXPECT_EQ(0xFFFF0000u, buf.At(50, 57)); // bottom edge
    EXPECT_EQ(0xFFFFFFFFu, buf.At(50, 30)); // stretched centre
    EXPECT_EQ(0xFFFFFFFFu, buf.At(5, 5));

    dlg.SetBackMode(BACK_MODE_NONE, 0);
    PixelBuffer none(100, 60);
    dlg.GetPaintManager().RenderClient(none.dc(), none.bits(), 100, 60, CRect(0, 0, 100, 60));
    EXPECT_EQ(0u, none.At(50, 30));
    dlg.DestroyWindow();
}

TEST_F(Pipeline, MissingBackgroundImageLeavesTheFlatColours)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, OpenHidden(dlg, kW, kH, false));
    ASSERT_EQ(1, dlg.LoadBKImage(CString(L"tk_test_bk.png")));
    EXPECT_EQ(0, dlg.LoadBKImage(CString(L"no_such_image.png")));
    EXPECT_FALSE(dlg.GetPaintManager().HasBackImage());
    PixelBuffer buf(kW, kH);
    dlg.GetPaintManager().RenderClient(buf.dc(), buf.bits(), kW, kH, CRect(0, 0, kW, kH));
    EXPECT_TRUE(NearColor(0xC8C8C8, 0xFE, buf.At(5, 5)));
    dlg.DestroyWindow();
}

TEST_F(Pipeline, ShownLayeredDialogPaintsThroughWmPaint)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, dlg.Open(CRect(300, 200, 300 + kW, 200 + kH), true));
    ASSERT_EQ(1, dlg.LoadBKImage(CString(L"tk_test_bk.png")));
    RecordingControl* c = dlg.Add(1, CRect(10, 10, 30, 30));
    dlg.GetPaintManager().Invalidate();
    ASSERT_TRUE(PumpUntil([c] { return c->draws > 0; }));
    EXPECT_TRUE(dlg.GetExStyle() & WS_EX_LAYERED);

    // What the screen shows now, for a person to look at.
    HDC screen = ::GetDC(nullptr);
    PixelBuffer shot(kW + 40, kH + 40);
    ::BitBlt(shot.dc(), 0, 0, kW + 40, kH + 40, screen, 280, 180, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
    for (int i = 0; i < (kW + 40) * (kH + 40); ++i)
        shot.bits()[i] |= 0xFF000000;
    shot.SaveArtifact(L"tessel_pipeline_screen.png");
    EXPECT_EQ(0x2040C0u, shot.At(25, 25) & 0xFFFFFF); // background at client (5, 5)
    EXPECT_EQ(0xC82828u, shot.At(35, 35) & 0xFFFFFF); // control at client (15, 15)
    dlg.DestroyWindow();
}

namespace
{
class EditLike : public MControlFont
{
public:
    EditLike(MObject* parent, CRect rc) : MControlFont(parent, 9, rc, L"", 1, 1, 1) {}
    int DrawControl(HDC&, CRect) override { return 1; }
};
} // namespace

TEST_F(Pipeline, CaretBlinksInTheOwnersTextColourOnlyWithFocus)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, dlg.Open(CRect(200, 200, 200 + kW, 200 + kH), false));
    PaintManager& pm = dlg.GetPaintManager();
    auto* edit = new EditLike(&dlg, CRect(10, 10, 100, 30));
    pm.AddControl(edit, 1);
    edit->SetTextColor(Gdiplus::Color(0xFF, 0x10, 0x80, 0xF0));
    ASSERT_TRUE(pm.CreateCaret(nullptr, 2, 14));
    pm.SetCaretPos(edit, 20, 12);
    pm.ShowCaret(TRUE);
    ::SetFocus(dlg.GetSafeHwnd());
    ASSERT_EQ(dlg.GetSafeHwnd(), ::GetFocus());

    PixelBuffer shown(kW, kH);
    pm.RenderClient(shown.dc(), shown.bits(), kW, kH, CRect(0, 0, kW, kH));
    EXPECT_TRUE(NearRgb(0x1080F0, shown.At(21, 20)));
    EXPECT_FALSE(NearRgb(0x1080F0, shown.At(22, 20))); // 2 pixels wide

    dlg.SendMessageW(WM_TIMER, PaintManager::kCaretTimer, 0); // blink: hidden phase
    PixelBuffer hidden(kW, kH);
    pm.RenderClient(hidden.dc(), hidden.bits(), kW, kH, CRect(0, 0, kW, kH));
    EXPECT_FALSE(NearRgb(0x1080F0, hidden.At(21, 20)));

    dlg.SendMessageW(WM_TIMER, PaintManager::kCaretTimer, 0);
    pm.RemoveControl(edit); // the owner goes: no caret any more
    PixelBuffer orphan(kW, kH);
    pm.RenderClient(orphan.dc(), orphan.bits(), kW, kH, CRect(0, 0, kW, kH));
    EXPECT_EQ(nullptr, pm.GetCurrentCaretObject());
    EXPECT_FALSE(NearRgb(0x1080F0, orphan.At(21, 20)));
    dlg.DestroyWindow();
}

TEST_F(Pipeline, HotCellIsOutlinedWhileTheCursorRestsOnIt)
{
    TestDialog dlg;
    ASSERT_NE(nullptr, OpenHidden(dlg, 320, 60, true));
    ::MoveWindow(dlg.GetSafeHwnd(), 100, 100, 320, 60, FALSE);
    const CPoint over = dlg.ToScreen(CPoint(295, 18));
    ::SetCursorPos(over.x, over.y);
    PixelBuffer buf(320, 60);
    dlg.GetPaintManager().RenderClient(buf.dc(), buf.bits(), 320, 60, CRect(0, 0, 320, 60));
    EXPECT_TRUE(NearColor(0xC8C8C8, 0xFF, buf.At(285, 8)));
    EXPECT_TRUE(NearColor(0xC8C8C8, 0xFF, buf.At(305, 18)));
    EXPECT_FALSE(NearColor(0xC8C8C8, 0xFF, buf.At(295, 18))); // outline only

    ::SetCursorPos(0, 0);
    PixelBuffer away(320, 60);
    dlg.GetPaintManager().RenderClient(away.dc(), away.bits(), 320, 60, CRect(0, 0, 320, 60));
    EXPECT_FALSE(NearColor(0xC8C8C8, 0xFF, away.At(285, 8)));
    dlg.DestroyWindow();
}
