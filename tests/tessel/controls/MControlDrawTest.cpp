#include "tests/tessel/MControlTestSupport.h"

#include <gtest/gtest.h>

using namespace Tessel;

namespace
{

constexpr DWORD kBlue = 0xFF0000FF, kRed = 0xFFFF0000, kGreen = 0xFF00FF00;

// A 200 x 100 window buffer holding one control at (10,10)-(50,30) that paints its left half.
class CachedDrawing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.Resize(nullptr, 200, 100));
        FillSurface(window, kBlue);
        control.halfFill = true;
    }
    int Draw(CRect clip = CRect(0, 0, 200, 100))
    {
        HDC dc = window.GetDC();
        return control.Draw(dc, clip);
    }

    Surface window;
    RecordingParent parent;
    std::vector<std::string> log;
    ProbeControl control{&parent, 1, CRect(10, 10, 50, 30), &log, "C"};
};

} // namespace

TEST_F(CachedDrawing, RendersOnceOverWhatWasBeneathAndThenReusesTheCache)
{
    EXPECT_EQ(Draw(), 1);
    EXPECT_EQ(control.renders, 1);
    EXPECT_EQ(control.GetUpdate(), 1);
    EXPECT_EQ(window.PixelAt(15, 15), kGreen);
    EXPECT_EQ(window.PixelAt(45, 25), kBlue); // the unpainted half shows the background
    EXPECT_EQ(window.PixelAt(5, 5), kBlue);

    // The background changes, the cache does not: the control keeps the old composition.
    FillSurface(window, kRed);
    EXPECT_EQ(Draw(), 1);
    EXPECT_EQ(control.renders, 1);
    EXPECT_EQ(window.PixelAt(45, 25), kBlue);
    EXPECT_EQ(window.PixelAt(15, 15), kGreen);
    EXPECT_EQ(window.PixelAt(55, 25), kRed);

    // Marked stale, it composes itself over the background of the next pass.
    control.SetUpdate(0, 0);
    FillSurface(window, kRed);
    Draw();
    EXPECT_EQ(control.renders, 2);
    EXPECT_EQ(window.PixelAt(45, 25), kRed);
}

TEST_F(CachedDrawing, SurfaceIsReallocatedOnlyWhenTheSizeChanges)
{
    Draw();
    const HBITMAP first = control.GetMemSurface().GetBitmap();
    EXPECT_EQ(control.GetMemSurface().Width(), 40);
    EXPECT_EQ(control.GetMemSurface().Height(), 20);
    control.SetUpdate(0, 0);
    Draw();
    EXPECT_EQ(control.GetMemSurface().GetBitmap(), first);

    control.SetRect(CRect(10, 10, 70, 40));
    control.SetUpdate(0, 0); // what the paint manager does for the repaint request
    Draw();
    EXPECT_EQ(control.GetMemSurface().Width(), 60);
    EXPECT_EQ(control.GetMemSurface().Height(), 30);
    EXPECT_EQ(window.PixelAt(35, 35), kGreen);
}

TEST_F(CachedDrawing, NothingIsDrawnWhenHiddenOutsideTheClipOrEmpty)
{
    EXPECT_EQ(Draw(CRect(100, 50, 200, 100)), 0);
    control.SetVisible(0, 0);
    EXPECT_EQ(Draw(), 0);
    EXPECT_EQ(control.renders, 0);
    EXPECT_EQ(window.PixelAt(15, 15), kBlue);

    ProbeControl empty(&parent, 2, CRect(), &log, "E");
    HDC dc = window.GetDC();
    EXPECT_EQ(empty.Draw(dc, CRect(0, 0, 200, 100)), 0);
    EXPECT_EQ(empty.renders, 0);
}

TEST_F(CachedDrawing, EmbeddedBeneathChildrenOnTopInListOrder)
{
    auto* beneath = new ProbeControl(&control, 2, CRect(10, 10, 30, 30), &log, "beneath");
    auto* elsewhere = new ProbeControl(&control, 3, CRect(100, 60, 120, 80), &log, "elsewhere");
    auto* first = new ProbeControl(&control, 4, CRect(12, 12, 40, 28), &log, "first");
    auto* hidden = new ProbeControl(&control, 5, CRect(12, 12, 40, 28), &log, "hidden", 0);
    auto* second = new ProbeControl(&control, 6, CRect(20, 12, 48, 28), &log, "second");
    control.AddEmbeddedControl(beneath);
    control.AddEmbeddedControl(elsewhere);
    control.AddControl(first);
    control.AddControl(hidden);
    control.AddControl(second);
    second->fill = kRed;
    Draw();
    EXPECT_EQ(log, (std::vector<std::string>{"beneath:draw 0,0", "C:draw 0,0", "first:draw 0,0",
                                             "second:draw 0,0"}));
    EXPECT_EQ(window.PixelAt(25, 20), kRed);   // second over first
    EXPECT_EQ(window.PixelAt(15, 20), kGreen); // first over the control
}

TEST(ControlResources, SurfacesAreReleasedWithTheControl)
{
    Surface window;
    ASSERT_TRUE(window.Resize(nullptr, 100, 100));
    HDC dc = window.GetDC();
    RecordingParent parent;
    std::vector<HGDIOBJ> handles;
    {
        ProbeControl control(&parent, 1, CRect(5, 5, 60, 40), nullptr, "c");
        auto* child = new ProbeControl(&control, 2, CRect(10, 10, 30, 30), nullptr, "child");
        control.AddControl(child);
        control.Draw(dc, CRect(0, 0, 100, 100));
        control.UpdateAnimateDC(dc, 20, 20);
        handles = {control.GetMemDC(),     control.GetMemSurface().GetBitmap(),
                   control.GetAnimateDC(), control.GetAnimateSurface().GetBitmap(),
                   child->GetMemDC(),      child->GetMemSurface().GetBitmap()};
        for (HGDIOBJ handle : handles)
            ASSERT_NE(::GetObjectType(handle), 0u);
    }
    for (HGDIOBJ handle : handles)
        EXPECT_EQ(::GetObjectType(handle), 0u) << handle;
}

TEST(ControlResources, TwoHundredControlsLeaveNoGdiObjectsBehind)
{
    Surface window;
    ASSERT_TRUE(window.Resize(nullptr, 100, 100));
    HDC dc = window.GetDC();
    RecordingParent parent;
    auto cycle = [&]
    {
        ProbeControl control(&parent, 1, CRect(5, 5, 60, 40), nullptr, "c");
        auto* child = new ProbeControl(&control, 2, CRect(10, 10, 30, 30), nullptr, "child");
        control.AddControl(child);
        control.Draw(dc, CRect(0, 0, 100, 100));
        control.UpdateAnimateDC(dc, 20, 20);
    };
    cycle(); // first use may create lasting system objects
    const DWORD before = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (before == 0)
        GTEST_SKIP() << "GetGuiResources does not count GDI objects here";
    for (int i = 0; i < 200; ++i)
        cycle();
    EXPECT_LE(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), before + 2);
}
