#include "tests/tessel/TesselTestKit.h"

#include "tessel/controls/MPicture.h"
#include "tessel/paint/PaintManager.h"

using namespace Tessel;

namespace
{

const Gdiplus::ARGB kLeft = 0xFFFF0000;  // left half of the test image
const Gdiplus::ARGB kRight = 0xFF0000FF; // right half

class PictureTest : public ::testing::Test
{
protected:
    PictureTest() : image(L"test_picture", 10, 6, [](int x, int) { return x < 5 ? kLeft : kRight; }) {}

    MPicture* Make(CRect rect)
    {
        return static_cast<MPicture*>(pm.CreateControl(0, &parent, L"MPicture", 1, rect, nullptr, 1, 1));
    }

    HostDialog dialog;
    PaintManager& pm = dialog.GetPaintManager();
    RecordingParent parent;
    SkinStrip image;
};

TEST_F(PictureTest, SetShowModeReportsWhetherAnythingChanged)
{
    MPicture* p = Make(CRect(0, 0, 40, 20));
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(0, p->SetShowMode(SHOW_MODE_NORMAL, 4)) << "already mode 0";
    EXPECT_EQ(1, p->SetShowMode(SHOW_MODE_FRAME, 4));
    parent.Clear();
    EXPECT_EQ(1, p->SetShowMode(SHOW_MODE_FRAME, 6)) << "mode 3 with another border";
    EXPECT_EQ(1, parent.RepaintCount());
    EXPECT_EQ(1, parent.events.back().update);
    EXPECT_EQ(0, p->SetShowMode(SHOW_MODE_FRAME, 6));
    EXPECT_EQ(1, p->SetShowMode(SHOW_MODE_NORMAL, 6));
    parent.Clear();
    EXPECT_EQ(0, p->SetShowMode(SHOW_MODE_NORMAL, 6));
    EXPECT_EQ(0, p->SetShowMode(SHOW_MODE_NORMAL, 9)) << "the border matters in mode 3 only";
    EXPECT_EQ(0, parent.RepaintCount());
    EXPECT_EQ(1, p->SetShowModeMID(1, 2, 3, 4));
    EXPECT_EQ(SHOW_MODE_FRAME_MID, p->GetShowMode());
}

TEST_F(PictureTest, ModeZeroPlacesTheImageByAlignment)
{
    MPicture* p = Make(CRect(0, 0, 40, 20));
    ASSERT_NE(nullptr, p);
    ASSERT_EQ(1, p->SetImage(image.Name(), 1));
    EXPECT_EQ(10, p->GetImageSize().cx);

    Canvas canvas(40, 20, 0xFF000000);
    canvas.Draw(p);
    // Left, vertically centred (the default vertical alignment): rows 7..12.
    EXPECT_TRUE(Near(kLeft, canvas.At(0, 7)));
    EXPECT_TRUE(Near(kRight, canvas.At(9, 12)));
    EXPECT_EQ(0xFF000000u, canvas.At(0, 6));
    EXPECT_EQ(0xFF000000u, canvas.At(10, 10));

    p->SetAlignment(2, 8);
    Canvas right(40, 20, 0xFF000000);
    right.Draw(p);
    EXPECT_TRUE(Near(kLeft, right.At(30, 14)));
    EXPECT_TRUE(Near(kRight, right.At(39, 19)));
    EXPECT_EQ(0xFF000000u, right.At(29, 19));

    p->SetAlignment(1, 0);
    Canvas centre(40, 20, 0xFF000000);
    centre.Draw(p);
    EXPECT_TRUE(Near(kLeft, centre.At(15, 0)));
    EXPECT_TRUE(Near(kRight, centre.At(24, 5)));
    EXPECT_EQ(0xFF000000u, centre.At(14, 0));
}

TEST_F(PictureTest, ModeOneTilesWithoutScaling)
{
    MPicture* p = Make(CRect(0, 0, 25, 8));
    ASSERT_NE(nullptr, p);
    ASSERT_EQ(1, p->SetImage(image.Name(), 1));
    p->SetShowMode(SHOW_MODE_TILE, 0);
    Canvas canvas(25, 8, 0xFF000000);
    canvas.Draw(p);
    for (int tile = 0; tile < 3; ++tile)
    {
        EXPECT_TRUE(Near(kLeft, canvas.At(tile * 10 + 1, 1))) << tile;
        EXPECT_TRUE(Near(kLeft, canvas.At(tile * 10 + 1, 7))) << "second row of tiles, cut";
    }
    EXPECT_TRUE(Near(kRight, canvas.At(16, 1)));
    // The last column of tiles keeps only its left half.
    EXPECT_TRUE(Near(kLeft, canvas.At(24, 1)));
}

TEST_F(PictureTest, ModeTwoStretchesAndModeFiveStretchesTheCustomRectangle)
{
    MPicture* p = Make(CRect(0, 0, 40, 20));
    ASSERT_NE(nullptr, p);
    ASSERT_EQ(1, p->SetImage(image.Name(), 1));
    p->SetShowMode(SHOW_MODE_STRETCH, 0);
    Canvas stretched(40, 20, 0xFF000000);
    stretched.Draw(p);
    EXPECT_TRUE(Near(kLeft, stretched.At(2, 2), 8));
    EXPECT_TRUE(Near(kLeft, stretched.At(15, 18), 8));
    EXPECT_TRUE(Near(kRight, stretched.At(25, 2), 8));
    EXPECT_TRUE(Near(kRight, stretched.At(38, 18), 8));

    p->SetCustomRect(CRect(5, 0, 10, 6));
    p->SetShowMode(SHOW_MODE_CUSTOM, 0);
    Canvas custom(40, 20, 0xFF000000);
    custom.Draw(p);
    EXPECT_TRUE(Near(kRight, custom.At(1, 1), 8));
    EXPECT_TRUE(Near(kRight, custom.At(20, 10), 8));
    EXPECT_TRUE(Near(kRight, custom.At(38, 18), 8));
}

TEST_F(PictureTest, NineSliceModesFillTheControl)
{
    SkinStrip framed(L"test_frame", 12, 12,
                     [](int x, int y)
                     {
                         const bool border = x < 4 || y < 4 || x >= 8 || y >= 8;
                         return border ? 0xFF00FF00u : 0xFF808080u;
                     });
    MPicture* p = Make(CRect(0, 0, 40, 30));
    ASSERT_NE(nullptr, p);
    ASSERT_EQ(1, p->SetImage(framed.Name(), 1));
    p->SetShowMode(SHOW_MODE_FRAME, 4);
    Canvas canvas(40, 30, 0xFF000000);
    canvas.Draw(p);
    EXPECT_TRUE(Near(0xFF00FF00, canvas.At(1, 1)));
    EXPECT_TRUE(Near(0xFF00FF00, canvas.At(38, 28)));
    EXPECT_TRUE(Near(0xFF00FF00, canvas.At(20, 1)));
    EXPECT_TRUE(Near(0xFF808080, canvas.At(20, 15), 8));

    p->SetShowModeMID(4, 4, 4, 4);
    Canvas mid(40, 30, 0xFF000000);
    mid.Draw(p);
    EXPECT_TRUE(Near(0xFF00FF00, mid.At(2, 15)));
    EXPECT_TRUE(Near(0xFF808080, mid.At(20, 15), 8));
}

TEST_F(PictureTest, MissingImageLeavesOnlyTheBackground)
{
    MPicture* p = Make(CRect(0, 0, 20, 20));
    ASSERT_NE(nullptr, p);
    ASSERT_EQ(1, p->SetImage(image.Name(), 1));
    parent.Clear();
    EXPECT_EQ(0, p->SetImage(L"no_such_picture.png", 1));
    EXPECT_EQ(1, parent.RepaintCount()) << "the file form repaints either way";
    EXPECT_EQ(nullptr, p->GetImage());
    Canvas canvas(20, 20, 0xFF112233);
    canvas.Draw(p);
    EXPECT_EQ(0xFF112233u, canvas.At(10, 10));

    // The resource form repaints only on success.
    parent.Clear();
    EXPECT_EQ(0, p->SetImage(4711u, CString(L"PNG"), 1));
    EXPECT_EQ(0, parent.RepaintCount());
}

TEST_F(PictureTest, FrameCountSplitsTheImage)
{
    MPicture* p = Make(CRect(0, 0, 20, 20));
    ASSERT_NE(nullptr, p);
    ASSERT_EQ(1, p->SetImage(image.Name(), 2));
    EXPECT_EQ(5, p->GetImageSize().cx);
    EXPECT_EQ(6, p->GetImageSize().cy);
    // Only the first frame (the red half) is drawn.
    Canvas canvas(20, 20, 0xFF000000);
    canvas.Draw(p);
    EXPECT_TRUE(Near(kLeft, canvas.At(4, 10)));
    EXPECT_EQ(0xFF000000u, canvas.At(5, 10));
}

} // namespace
