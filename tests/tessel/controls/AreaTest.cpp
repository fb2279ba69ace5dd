#include "tests/tessel/TesselTestKit.h"

#include "tessel/controls/CArea.h"
#include "tessel/paint/PaintManager.h"

using namespace Tessel;

namespace
{

class AreaTest : public ::testing::Test
{
protected:
    CArea* Make(CRect rect)
    {
        return static_cast<CArea*>(pm.CreateControl(0, &parent, L"CArea", 1, rect, nullptr, 1, 0));
    }

    HostDialog dialog;
    PaintManager& pm = dialog.GetPaintManager();
    RecordingParent parent;
};

TEST_F(AreaTest, DefaultIsAUniformTwentyPercentWhiteWash)
{
    CArea* a = Make(CRect(0, 0, 30, 20));
    ASSERT_NE(nullptr, a);
    Canvas canvas(30, 20, 0xFF000000);
    canvas.Draw(a);
    // White at alpha 51 over black, every row alike.
    for (int y : {0, 10, 19})
    {
        const DWORD p = canvas.At(15, y);
        EXPECT_NEAR(51, Red(p), 3) << y;
        EXPECT_NEAR(51, Blue(p), 3) << y;
    }
}

TEST_F(AreaTest, RampFadesFromOpaqueToClear)
{
    CArea* a = Make(CRect(0, 0, 10, 50));
    ASSERT_NE(nullptr, a);
    a->SetTransparent(0, 100, RGB(255, 0, 0));
    Canvas canvas(10, 50, 0xFF000000);
    canvas.Draw(a);
    EXPECT_GT(Red(canvas.At(5, 0)), 240);
    EXPECT_LT(Red(canvas.At(5, 49)), 15);
    EXPECT_GT(Red(canvas.At(5, 10)), Red(canvas.At(5, 40)));
}

TEST_F(AreaTest, OpaqueFillWithAOnePixelFrame)
{
    CArea* a = Make(CRect(0, 0, 30, 20));
    ASSERT_NE(nullptr, a);
    parent.Clear();
    a->SetTransparent(0, 0, RGB(0x10, 0x80, 0xF0));
    a->SetFrame(1, Gdiplus::Color(0xFEFF0000), 0);
    EXPECT_EQ(2, parent.RepaintCount());
    Canvas canvas(30, 20, 0xFF000000);
    canvas.Draw(a);
    canvas.SaveArtifact(L"area_framed.png");
    for (auto pt : {CPoint(0, 0), CPoint(29, 19), CPoint(15, 0), CPoint(0, 10), CPoint(29, 10)})
        EXPECT_TRUE(Near(0xFFFF0000, canvas.At(pt.x, pt.y))) << pt.x << "," << pt.y;
    EXPECT_TRUE(Near(0xFF1080F0, canvas.At(1, 1)));
    EXPECT_TRUE(Near(0xFF1080F0, canvas.At(15, 10)));
    EXPECT_EQ(0xFE, Alpha(canvas.At(15, 10)));

    a->SetFrame(0, Gdiplus::Color(0xFEFF0000), 0);
    Canvas plain(30, 20, 0xFF000000);
    plain.Draw(a);
    EXPECT_TRUE(Near(0xFF1080F0, plain.At(0, 0)));
}

TEST_F(AreaTest, FrameIsNotDrawnOverAWash)
{
    CArea* a = Make(CRect(0, 0, 30, 20));
    ASSERT_NE(nullptr, a);
    a->SetFrame(1, Gdiplus::Color(0xFEFF0000), 0);
    Canvas canvas(30, 20, 0xFF000000);
    canvas.Draw(a);
    EXPECT_LT(Red(canvas.At(0, 0)), 80);
    EXPECT_NEAR(Red(canvas.At(0, 0)), Blue(canvas.At(0, 0)), 3);
}

} // namespace
