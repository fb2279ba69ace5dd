#include "tests/tessel/TesselTestKit.h"

#include "tessel/controls/MText.h"
#include "tessel/paint/PaintManager.h"

using namespace Tessel;

namespace
{

const DWORD kBack = 0xFF000000;
bool Lit(DWORD p)
{
    return Red(p) > 90 || Green(p) > 90 || Blue(p) > 90;
}

class TextTest : public ::testing::Test
{
protected:
    MText* Make(CRect rect, const wchar_t* title)
    {
        auto* t = static_cast<MText*>(pm.CreateControl(0, &parent, L"MText", 1, rect, title, 1, 1));
        if (t)
            t->SetTextColor(Gdiplus::Color(0xFFFFFFFF));
        return t;
    }

    HostDialog dialog;
    PaintManager& pm = dialog.GetPaintManager();
    RecordingParent parent;
};

TEST_F(TextTest, FactoryLabelIsDisabledButDrawsItsTitleInTheTextColour)
{
    MText* t = Make(CRect(0, 0, 120, 30), L"Label");
    ASSERT_NE(nullptr, t);
    ASSERT_NE(nullptr, t->GetFontFamily(nullptr)) << "the embedded face is available";
    t->SetTextColor(Gdiplus::Color(0xFF00FF00));
    EXPECT_EQ(0, t->IsEnabled());
    Canvas canvas(120, 30, kBack);
    canvas.Draw(t);
    canvas.SaveArtifact(L"text_label.png");
    int green = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x)
            green += Green(canvas.At(x, y)) > 200 && Red(canvas.At(x, y)) < 80 ? 1 : 0;
    EXPECT_GT(green, 20);
}

TEST_F(TextTest, TitleStopsAtAnEmbeddedNull)
{
    const wchar_t withNull[] = L"AB\0CD";
    MText* cut = Make(CRect(0, 0, 120, 30), withNull);
    MText* plain = Make(CRect(0, 0, 120, 30), L"AB");
    ASSERT_TRUE(cut && plain);
    EXPECT_STREQ(L"AB", cut->GetTitle().GetString());
    Canvas a(120, 30, kBack), b(120, 30, kBack);
    a.Draw(cut);
    b.Draw(plain);
    RECT inkA, inkB;
    a.InkBounds({0, 0, 120, 30}, Lit, inkA);
    b.InkBounds({0, 0, 120, 30}, Lit, inkB);
    EXPECT_LE(inkA.left, inkA.right) << "something was drawn";
    EXPECT_EQ(inkB.right, inkA.right);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x)
            ASSERT_EQ(b.At(x, y), a.At(x, y)) << x << "," << y;
}

TEST_F(TextTest, SingleLineDoesNotWrapAndMultiLineWrapsAtTheWidth)
{
    const wchar_t* text = L"one two three four five six seven";
    MText* single = Make(CRect(0, 0, 100, 90), text);
    ASSERT_NE(nullptr, single);
    single->SetAlignment(0, 0);
    Canvas a(100, 90, kBack);
    a.Draw(single);
    RECT one;
    a.InkBounds({0, 0, 100, 90}, Lit, one);
    const int lineInk = one.bottom - one.top + 1;
    EXPECT_LT(lineInk, 20) << "one line";
    EXPECT_GE(one.right, 80) << "runs to the edge instead of wrapping";

    MText* multi = Make(CRect(0, 0, 100, 90), text);
    ASSERT_NE(nullptr, multi);
    multi->SetAlignment(0, 0);
    multi->EnableMultiLine(1);
    Canvas b(100, 90, kBack);
    b.Draw(multi);
    b.SaveArtifact(L"text_multiline.png");
    RECT many;
    b.InkBounds({0, 0, 100, 90}, Lit, many);
    EXPECT_GT(many.bottom - many.top + 1, 2 * lineInk) << "three or more lines";
    EXPECT_LT(many.top, 10) << "top aligned";
}

TEST_F(TextTest, VerticalCentringCentresTheLines)
{
    const wchar_t* text = L"A longer message that wraps onto lines";
    MText* t = Make(CRect(0, 0, 120, 120), text);
    ASSERT_NE(nullptr, t);
    t->SetAlignment(1, 0);
    t->EnableMultiLine(1);
    t->EnableVCenter(1);
    Canvas canvas(120, 120, kBack);
    canvas.Draw(t);
    canvas.SaveArtifact(L"text_vcenter.png");
    RECT ink;
    canvas.InkBounds({0, 0, 120, 120}, Lit, ink);
    ASSERT_LE(ink.top, ink.bottom);
    const int middle = (ink.top + ink.bottom) / 2;
    EXPECT_NEAR(60, middle, 6);
    // Centred horizontally too: ink is balanced around the middle.
    EXPECT_NEAR(60, (ink.left + ink.right) / 2, 8);
}

TEST_F(TextTest, TextBackgroundFillsTheLabel)
{
    MText* t = Make(CRect(0, 0, 60, 20), L"");
    ASSERT_NE(nullptr, t);
    parent.Clear();
    t->EnableTextBack(1, Gdiplus::Color(0xFF102030));
    EXPECT_EQ(1, parent.RepaintCount());
    t->EnableTextBack(1, Gdiplus::Color(0xFF405060));
    EXPECT_EQ(1, parent.RepaintCount()) << "same flag: nothing stored, no repaint";
    Canvas canvas(60, 20, 0xFFFFFFFF);
    canvas.Draw(t);
    EXPECT_TRUE(Near(0xFF102030, canvas.At(30, 10)));
}

TEST_F(TextTest, SwitchesAreStoredWithoutRepaintAndTheWheelIsSwallowed)
{
    MText* t = Make(CRect(0, 0, 60, 20), L"x");
    ASSERT_NE(nullptr, t);
    parent.Clear();
    t->EnableMultiLine(1);
    t->EnableVCenter(1);
    t->EnableShadow(1);
    EXPECT_EQ(0, parent.RepaintCount());
    EXPECT_EQ(1, t->OnControlScroll(120, 0, CPoint(5, 5)));
    EXPECT_EQ(0, t->GetVirtualHeight());
    // A notification from the scroll bar (child 1, code 8) repaints the label.
    EXPECT_EQ(0, t->OnBaseMessage(1, 8, 0, 0));
    EXPECT_EQ(1, parent.RepaintCount());
    t->OnBaseMessage(2, 8, 0, 0);
    EXPECT_EQ(1, parent.RepaintCount());
}

} // namespace
