#include "tests/tessel/TesselTestKit.h"

#include "tessel/controls/CImageButton.h"
#include "tessel/controls/MButton.h"
#include "tessel/paint/PaintManager.h"

#include <cwchar>
#include <string>

using namespace Tessel;

namespace
{

const CRect kButton(20, 10, 80, 40); // 60 x 30
const CPoint kInside(50, 25);
const CPoint kOutside(150, 25);

const Gdiplus::ARGB kFrameColors[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00};

class ButtonTest : public ::testing::Test
{
protected:
    MButton* Make(const wchar_t* cls = L"MButton", const wchar_t* title = L"")
    {
        return static_cast<MButton*>(pm.CreateControl(1, &parent, cls, 1, kButton, title, 1, 1));
    }

    HostDialog dialog;
    PaintManager& pm = dialog.GetPaintManager();
    RecordingParent parent;
};

TEST_F(ButtonTest, HoverFollowsThePointer)
{
    MButton* b = Make();
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(MButton::STATE_NORMAL, b->GetState());

    EXPECT_EQ(1, b->OnMouseMove(0, kInside));
    EXPECT_EQ(MButton::STATE_HOVER, b->GetState());
    ASSERT_EQ(1, parent.RepaintCount());
    // A state change reuses the rendered cells.
    EXPECT_EQ(0, parent.events.back().update);

    parent.Clear();
    b->OnMouseMove(0, CPoint(51, 26));
    EXPECT_EQ(0, parent.RepaintCount()) << "no change, no repaint";

    b->OnMouseMove(0, kOutside);
    EXPECT_EQ(MButton::STATE_NORMAL, b->GetState());
    EXPECT_EQ(1, parent.RepaintCount());
    EXPECT_TRUE(parent.Codes().empty());
}

TEST_F(ButtonTest, ClickSendsPressThenClickAfterTheRepaint)
{
    MButton* b = Make();
    ASSERT_NE(nullptr, b);
    b->OnMouseMove(0, kInside);
    parent.Clear();

    b->OnLButtonDown(MK_LBUTTON, kInside);
    EXPECT_EQ(MButton::STATE_PRESSED, b->GetState());
    b->OnLButtonUp(0, kInside);
    EXPECT_EQ(MButton::STATE_HOVER, b->GetState());

    ASSERT_EQ((std::vector<UINT>{MButton::kCodePressed, MButton::kCodeClicked}), parent.Codes());
    // Press: code 1 then repaint; release: repaint then code 2.
    ASSERT_EQ(4u, parent.events.size());
    EXPECT_EQ(RecordingParent::Event::Notify, parent.events[0].kind);
    EXPECT_EQ(RecordingParent::Event::Repaint, parent.events[1].kind);
    EXPECT_EQ(RecordingParent::Event::Repaint, parent.events[2].kind);
    EXPECT_EQ(RecordingParent::Event::Notify, parent.events[3].kind);
    EXPECT_EQ(1u, parent.events[3].id);
}

TEST_F(ButtonTest, PressMoveOffAndReleaseIsNoClick)
{
    MButton* b = Make();
    ASSERT_NE(nullptr, b);
    b->OnLButtonDown(MK_LBUTTON, kInside);
    EXPECT_EQ(MButton::STATE_PRESSED, b->GetState());
    parent.Clear();

    // Moves are ignored while pressed, inside or out.
    b->OnMouseMove(MK_LBUTTON, kOutside);
    EXPECT_EQ(MButton::STATE_PRESSED, b->GetState());
    EXPECT_EQ(0, parent.RepaintCount());

    b->OnLButtonUp(0, kOutside);
    EXPECT_EQ(MButton::STATE_NORMAL, b->GetState());
    EXPECT_TRUE(parent.Codes().empty()) << "no code 2";
    EXPECT_EQ(1, parent.RepaintCount());
}

TEST_F(ButtonTest, ReleaseInsideWithoutPressIsNoClick)
{
    MButton* b = Make();
    ASSERT_NE(nullptr, b);
    b->OnLButtonUp(0, kInside);
    EXPECT_EQ(MButton::STATE_HOVER, b->GetState());
    EXPECT_TRUE(parent.Codes().empty());
}

TEST_F(ButtonTest, RightButtonHasNoEffect)
{
    MButton* b = Make();
    ASSERT_NE(nullptr, b);
    b->OnMouseMove(0, kInside);
    parent.Clear();
    b->OnRButtonDown(MK_RBUTTON, kInside);
    b->OnRButtonUp(0, kInside);
    b->OnRButtonDblClk(MK_RBUTTON, kInside);
    EXPECT_EQ(MButton::STATE_HOVER, b->GetState());
    EXPECT_TRUE(parent.events.empty());
}

TEST_F(ButtonTest, DisabledButtonIgnoresTheMouseAndEnablingRestoresNormal)
{
    MButton* b = Make();
    ASSERT_NE(nullptr, b);
    b->OnMouseMove(0, kInside);
    parent.Clear();

    b->SetEnabled(0);
    EXPECT_EQ(MButton::STATE_DISABLED, b->GetState());
    EXPECT_GE(parent.RepaintCount(), 1);

    parent.Clear();
    b->OnMouseMove(0, kOutside);
    b->OnLButtonDown(MK_LBUTTON, kInside);
    b->OnLButtonUp(0, kInside);
    EXPECT_EQ(MButton::STATE_DISABLED, b->GetState());
    EXPECT_TRUE(parent.events.empty());

    b->SetEnabled(1);
    EXPECT_EQ(MButton::STATE_NORMAL, b->GetState());
    parent.Clear();
    b->SetEnabled(1);
    EXPECT_TRUE(parent.events.empty()) << "unchanged: nothing";
}

TEST_F(ButtonTest, EachStateShowsItsCellFromOneRendering)
{
    SkinStrip strip(L"test_button4", 24, 20,
                    {kFrameColors[0], kFrameColors[1], kFrameColors[2], kFrameColors[3]});
    MButton* b = Make();
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(1, b->SetImage(strip.Name(), 4));
    Canvas canvas(100, 50, 0xFF000000);
    canvas.Draw(b);
    EXPECT_EQ(1, b->GetUpdate());
    EXPECT_TRUE(Near(kFrameColors[0], canvas.At(50, 25))) << std::hex << canvas.At(50, 25);
    // Outside the button nothing is touched.
    EXPECT_EQ(0xFF000000u, canvas.At(10, 25));

    b->OnMouseMove(0, kInside);
    canvas.Draw(b);
    EXPECT_TRUE(Near(kFrameColors[1], canvas.At(50, 25)));
    b->OnLButtonDown(MK_LBUTTON, kInside);
    canvas.Draw(b);
    EXPECT_TRUE(Near(kFrameColors[2], canvas.At(50, 25)));
    b->SetEnabled(0);
    canvas.Draw(b);
    EXPECT_TRUE(Near(kFrameColors[3], canvas.At(50, 25)));
    // The nine-slice corners come from the same frame.
    EXPECT_TRUE(Near(kFrameColors[3], canvas.At(21, 11)));
    EXPECT_TRUE(Near(kFrameColors[3], canvas.At(78, 38)));
}

TEST_F(ButtonTest, MissingFramesLeaveEmptyCells)
{
    SkinStrip strip(L"test_button2", 24, 20, {kFrameColors[0], kFrameColors[1]});
    MButton* b = Make();
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(1, b->SetImage(strip.Name(), 2));
    b->OnLButtonDown(MK_LBUTTON, kInside);
    Canvas canvas(100, 50, 0xFF203040);
    canvas.Draw(b);
    EXPECT_TRUE(Near(0xFF203040, canvas.At(50, 25))) << std::hex << canvas.At(50, 25);
}

TEST_F(ButtonTest, DisabledCellDrawsTheCaptionInGrey)
{
    SkinStrip strip(L"test_button_white", 24, 20, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF});
    MButton* b = static_cast<MButton*>(
        pm.CreateControl(1, &parent, L"MButton", 1, CRect(0, 0, 120, 40), L"HHHH", 1, 1));
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(1, b->SetImage(strip.Name(), 4));
    b->SetFont(nullptr, 24, Gdiplus::FontStyleBold);
    b->SetTextColor(Gdiplus::Color(0xFFFF0000));
    b->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);

    auto countInk = [](const Canvas& c, bool wantRed)
    {
        int n = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 120; ++x)
            {
                const DWORD p = c.At(x, y);
                const bool red = Red(p) > 200 && Green(p) < 60 && Blue(p) < 60;
                const bool grey =
                    Red(p) < 160 && std::abs(Red(p) - Green(p)) < 8 && std::abs(Red(p) - Blue(p)) < 8;
                n += wantRed ? red : grey;
            }
        return n;
    };

    Canvas normal(120, 40, 0xFF000000);
    normal.Draw(b);
    normal.SaveArtifact(L"button_caption_normal.png");
    EXPECT_GT(countInk(normal, true), 50) << "caption in the text colour";

    b->OnMouseMove(0, CPoint(60, 20));
    b->SetEnabled(0);
    Canvas disabled(120, 40, 0xFF000000);
    disabled.Draw(b);
    disabled.SaveArtifact(L"button_caption_disabled.png");
    EXPECT_EQ(0, countInk(disabled, true));
    EXPECT_GT(countInk(disabled, false), 50) << "caption in grey";
}

TEST_F(ButtonTest, PressedCaptionMovesByOnePixel)
{
    SkinStrip strip(L"test_button_plain", 24, 20, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF});
    MButton* b =
        static_cast<MButton*>(pm.CreateControl(1, &parent, L"MButton", 1, CRect(0, 0, 120, 40), L"I", 1, 1));
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(1, b->SetImage(strip.Name(), 4));
    b->SetFont(nullptr, 24, Gdiplus::FontStyleBold);
    b->SetTextColor(Gdiplus::Color(0xFF000000));
    auto dark = [](DWORD p) { return Red(p) < 100; };

    Canvas hover(120, 40, 0xFFFFFFFF);
    b->OnMouseMove(0, CPoint(60, 20));
    hover.Draw(b);
    RECT h;
    hover.InkBounds({0, 0, 120, 40}, dark, h);

    Canvas pressed(120, 40, 0xFFFFFFFF);
    b->OnLButtonDown(MK_LBUTTON, CPoint(60, 20));
    pressed.Draw(b);
    RECT p;
    pressed.InkBounds({0, 0, 120, 40}, dark, p);
    ASSERT_LE(h.left, h.right) << "caption drawn";
    EXPECT_EQ(h.left + 1, p.left);
    EXPECT_EQ(h.top + 1, p.top);
}

TEST_F(ButtonTest, ImageButtonStretchesItsFrameAndCentresItsIcon)
{
    SkinStrip strip(L"test_imgbutton", 10, 10,
                    {kFrameColors[0], kFrameColors[1], kFrameColors[2], kFrameColors[3]});
    SkinStrip icon(L"test_icon", 4, 4, {0xFF00FFFF, 0xFFFF00FF});
    auto* b = static_cast<CImageButton*>(Make(L"CImageButton"));
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(1, b->SetImage(strip.Name(), 4));
    ASSERT_EQ(1, b->SetIconImage(icon.Name(), 2));
    Canvas canvas(100, 50, 0xFF000000);
    canvas.Draw(b);
    // The whole cell is the frame, stretched from 10 x 10.
    EXPECT_TRUE(Near(kFrameColors[0], canvas.At(22, 12)));
    EXPECT_TRUE(Near(kFrameColors[0], canvas.At(77, 37)));
    // The icon's first frame (4 x 4) at ((60 - 4) / 2 + 2, (30 - 4) / 2 - 4) inside the cell.
    EXPECT_TRUE(Near(0xFF00FFFF, canvas.At(20 + 30 + 1, 10 + 9 + 1))) << std::hex << canvas.At(51, 20);
    EXPECT_TRUE(Near(kFrameColors[0], canvas.At(20 + 30 + 5, 10 + 9 + 1))) << "only the first icon frame";
}

namespace
{

// The first column of the button showing something other than its frame colour (-1: none).
int FirstUncoveredColumn(const Canvas& canvas, const CRect& rect, Gdiplus::ARGB frame)
{
    for (int x = rect.left; x < rect.right; ++x)
        for (int y = rect.top; y < rect.bottom; ++y)
            if (!Near(frame, canvas.At(x, y)))
                return x - rect.left;
    return -1;
}

} // namespace

// Skinned buttons of every width from 100 to 139 (so the stretch factor and the cells' places in
// the four-cell surface vary): every state shows its frame in every column, with no column of the
// black canvas showing through.
TEST_F(ButtonTest, StretchedFramesCoverEveryColumnAtAnyWidthInEveryState)
{
    SkinStrip frames(L"test_wide", 40, 30,
                     {kFrameColors[0], kFrameColors[1], kFrameColors[2], kFrameColors[3]});
    for (const wchar_t* cls : {L"MButton", L"CImageButton"})
    {
        std::string wrong;
        for (int width = 100; width < 140 && wrong.empty(); ++width)
        {
            const CRect rect(7, 10, 7 + width, 40);
            auto* b = static_cast<MButton*>(pm.CreateControl(1, &parent, cls, 100 + width, rect, L"", 1, 1));
            ASSERT_NE(nullptr, b);
            ASSERT_EQ(1, b->SetImage(frames.Name(), 4));
            Canvas canvas(160, 50, 0xFF000000);
            const CPoint inside = rect.CenterPoint();
            for (int state = 0; state < 4 && wrong.empty(); ++state)
            {
                if (state == MButton::STATE_HOVER)
                    b->OnMouseMove(0, inside);
                else if (state == MButton::STATE_PRESSED)
                    b->OnLButtonDown(MK_LBUTTON, inside);
                else if (state == MButton::STATE_DISABLED)
                    b->SetEnabled(0);
                ASSERT_EQ(state, b->GetState());
                canvas.Draw(b);
                const int column = FirstUncoveredColumn(canvas, rect, kFrameColors[state]);
                if (column < 0)
                    continue;
                wrong = "width " + std::to_string(width) + ", state " + std::to_string(state) + ", column " +
                        std::to_string(column);
                canvas.SaveArtifact((std::wstring(cls) + L"_uncovered_column.png").c_str());
            }
        }
        EXPECT_TRUE(wrong.empty()) << std::string(cls, cls + wcslen(cls)) << ": " << wrong;
    }
}

TEST_F(ButtonTest, FailedImageKeepsThePreviousStrip)
{
    SkinStrip strip(L"test_keep", 24, 20,
                    {kFrameColors[0], kFrameColors[1], kFrameColors[2], kFrameColors[3]});
    MButton* b = Make();
    ASSERT_NE(nullptr, b);
    ASSERT_EQ(1, b->SetImage(strip.Name(), 4));
    EXPECT_EQ(0, b->SetImage(L"no_such_image.png", 4));
    Canvas canvas(100, 50, 0xFF000000);
    canvas.Draw(b);
    EXPECT_TRUE(Near(kFrameColors[0], canvas.At(50, 25)));
}

} // namespace
