#include "tests/tessel/MControlTestSupport.h"

#include "tessel/controls/MControlFont.h"
#include "tessel/paint/PaintManager.h"
#include "tessel/render/Manager.h"
#include "tessel/resources/TesselResources.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Tessel;

namespace
{

class TextControl : public MControlFont
{
public:
    using MControlFont::MControlFont;
    int DrawControl(HDC&, CRect) override { return 0; }
};

LOGFONTW FontOf(HFONT font)
{
    LOGFONTW lf = {};
    ::GetObjectW(font, sizeof(lf), &lf);
    return lf;
}

// Keeps the framework-wide font settings of one test from leaking into others.
class ManagerSettingsGuard
{
public:
    ManagerSettingsGuard() : m_face(Manager::GetFontName()), m_size(Manager::GetFontWidth()) {}
    ~ManagerSettingsGuard()
    {
        Manager::SetFont(m_face, m_size);
        Manager::SetScaleValue(1.0f);
    }

private:
    CString m_face;
    int m_size;
};

class TextAttributes : public ::testing::Test
{
protected:
    ManagerSettingsGuard guard;
    RecordingParent parent;
    TextControl text{&parent, 5, CRect(0, 0, 100, 20), L"Hello", 1, 1, 1};
};

} // namespace

TEST_F(TextAttributes, StartsWithTheFrameworkFaceAndSize)
{
    Manager::SetFont(L"Verdana", 18);
    TextControl later(&parent, 6, CRect(), nullptr, 1, 0, 1);
    EXPECT_EQ(later.GetTextFont(), L"Verdana");
    EXPECT_EQ(later.GetFontWidth(), 18);
    EXPECT_EQ(later.GetTitle(), L"");
    EXPECT_EQ(text.GetTitle(), L"Hello");
    EXPECT_EQ(text.GetTextColor().GetValue(), 0xFFFFFFFFu);
    EXPECT_EQ(text.GetTextRenderingHint(), Gdiplus::TextRenderingHintClearTypeGridFit);
    EXPECT_EQ(text.GetImageCount(), 4);
    UINT h = 99, v = 99;
    text.GetAlignment(h, v);
    EXPECT_EQ(h, 0u);
    EXPECT_EQ(v, 4u);
}

TEST_F(TextAttributes, TitleAndAlignmentRepaintOnlyOnChange)
{
    text.SetTitle(L"World");
    ASSERT_EQ(parent.updates.size(), 1u);
    EXPECT_EQ(parent.updates[0].update, 1);
    EXPECT_EQ(text.GetTitle(), L"World");
    text.SetTitle(nullptr);
    EXPECT_EQ(text.GetTitle(), L"");

    parent.updates.clear();
    text.SetAlignment(0);
    text.SetVAlignment(4);
    text.SetAlignment(0, 4);
    EXPECT_TRUE(parent.updates.empty());
    text.SetAlignment(1);
    text.SetVAlignment(8);
    text.SetAlignment(2, 0);
    EXPECT_EQ(parent.updates.size(), 3u);
    UINT h = 0, v = 0;
    text.GetAlignment(h, v);
    EXPECT_EQ(h, 2u);
    EXPECT_EQ(v, 0u);

    // Hidden: stored, not repainted.
    parent.updates.clear();
    text.SetVisible(0, 0);
    text.SetAlignment(1, 8);
    text.SetTitle(L"quiet");
    EXPECT_TRUE(parent.updates.empty());
}

TEST_F(TextAttributes, FontAndColourNeverRepaint)
{
    text.SetFont(L"Courier New", 22, Gdiplus::FontStyleBoldItalic);
    text.SetTextColor(Gdiplus::Color(0x80102030));
    text.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    text.SetFontStyle(Gdiplus::FontStyleUnderline);
    text.SetFontWidth(30);
    EXPECT_TRUE(parent.updates.empty());
    EXPECT_EQ(text.GetTextFont(), L"Courier New");
    EXPECT_EQ(text.GetFontWidth(), 30);
    EXPECT_EQ(text.GetFontStyle(), Gdiplus::FontStyleUnderline);
    Gdiplus::Color brushColour;
    text.GetTextBrush()->GetColor(&brushColour);
    EXPECT_EQ(brushColour.GetValue(), 0x80102030u);
    text.SetFont(nullptr, 10, Gdiplus::FontStyleRegular);
    EXPECT_EQ(text.GetTextFont(), L"");
}

TEST_F(TextAttributes, GdiFontUsesTheFrameworkFaceAndIsRebuiltAfterSetTitle)
{
    Manager::SetFontName(L"A face name that is longer than thirty-two characters");
    text.SetFont(L"Ignored", 16,
                 static_cast<Gdiplus::FontStyle>(Gdiplus::FontStyleBold | Gdiplus::FontStyleItalic |
                                                 Gdiplus::FontStyleUnderline));
    HFONT font = text.GetGDIFont();
    ASSERT_NE(font, nullptr);
    LOGFONTW lf = FontOf(font);
    EXPECT_EQ(std::wstring(lf.lfFaceName), L"A face name that is longer than");
    EXPECT_EQ(lf.lfHeight, -16);
    EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
    EXPECT_GE(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_TRUE(lf.lfUnderline);
    EXPECT_EQ(text.GetGDIFont(), font); // cached

    // A new size is not seen until the title changes.
    text.SetFontWidth(24);
    EXPECT_EQ(FontOf(text.GetGDIFont()).lfHeight, -16);
    text.SetTitle(L"again");
    EXPECT_EQ(FontOf(text.GetGDIFont()).lfHeight, -24);

    const HFONT rebuilt = text.GetGDIFont();
    text.SetFontStyle(Gdiplus::FontStyleRegular);
    text.ClearGDIFont();
    EXPECT_EQ(::GetObjectType(rebuilt), 0u); // the old font is deleted, not leaked
    lf = FontOf(text.GetGDIFont());
    EXPECT_LT(lf.lfWeight, FW_BOLD);
    EXPECT_FALSE(lf.lfItalic);
}

TEST_F(TextAttributes, FamilyAndDrawingFontComeThroughTheManagerWithTheScaleFactor)
{
    EXPECT_EQ(text.GetFontFamily(L"x"), nullptr); // no manager
    EXPECT_EQ(text.CreateTextFont(), nullptr);

    PaintManager manager;
    text.SetManager(&manager);
    ASSERT_NE(manager.AddTempFont(L"Open Sans Semibold", static_cast<UINT>(IDR_TESSEL_FONT)), nullptr);
    Manager::SetFontName(L"Open Sans Semibold");
    Gdiplus::FontFamily* family = text.GetFontFamily(L"Some Other Face");
    ASSERT_NE(family, nullptr);
    wchar_t name[LF_FACESIZE] = {};
    family->GetFamilyName(name);
    EXPECT_STREQ(name, L"Open Sans Semibold");
    // The control keeps its own clone, not the manager's family.
    EXPECT_NE(family, manager.FindTempFont(nullptr));

    text.SetFontWidth(14);
    Manager::SetScaleValue(1.5f);
    auto font = text.CreateTextFont();
    ASSERT_TRUE(font);
    EXPECT_FLOAT_EQ(font->GetSize(), 21.0f);
    EXPECT_EQ(font->GetUnit(), Gdiplus::UnitPixel);
    Manager::SetScaleValue(1.1f);
    EXPECT_FLOAT_EQ(text.CreateTextFont()->GetSize(), 15.0f); // 15.4 truncated

    // A face that is not installed still gives a font: the system's sans-serif family.
    Manager::SetFontName(L"No Such Face 4711");
    ASSERT_NE(text.GetFontFamily(nullptr), nullptr);
    EXPECT_TRUE(text.CreateTextFont());
    text.SetManager(nullptr);
}

TEST_F(TextAttributes, ImageStripComesFromTheWindowCacheAndFailureKeepsTheOldOne)
{
    EXPECT_EQ(text.SetImage(L"anything.png", 4), 0); // no manager
    PaintManager manager;
    text.SetManager(&manager);
    SkinPng strip(120, 30);
    parent.updates.clear();
    ASSERT_EQ(text.SetImage(strip.name(), 4), 1);
    EXPECT_EQ(text.GetImageSize(), CSize(30, 30));
    EXPECT_EQ(text.GetImageCount(), 4);
    EXPECT_EQ(text.GetImagePath(), strip.name());
    ASSERT_NE(text.GetImage(), nullptr);
    ASSERT_EQ(parent.updates.size(), 1u);
    EXPECT_EQ(parent.updates[0].update, 1);

    Gdiplus::Image* image = text.GetImage();
    EXPECT_EQ(text.SetImage(L"no_such_skin_image.png", 1), 0);
    EXPECT_EQ(text.GetImage(), image);
    EXPECT_EQ(text.GetImageSize(), CSize(30, 30));
    EXPECT_EQ(parent.updates.size(), 1u);

    // A second control asking for the same file with another count shares the first load.
    TextControl other(&parent, 7, CRect(), nullptr, 1, 1, 1);
    other.SetManager(&manager);
    ASSERT_EQ(other.SetImage(strip.name(), 1), 1);
    EXPECT_EQ(other.GetImage(), image);
    EXPECT_EQ(other.GetImageSize(), CSize(30, 30));
    EXPECT_EQ(other.GetImageCount(), 1);

    // Resource form: application resources through the cache.
    const HINSTANCE saved = Manager::GetInstance();
    Manager::SetInstance(Manager::GetFrameworkModule());
    EXPECT_EQ(other.SetImage(static_cast<UINT>(IDR_TESSEL_SCROLL_HORIZONTAL), L"PNG", 2), 1);
    EXPECT_EQ(other.GetImageSize(), CSize(11, 20));
    EXPECT_EQ(other.SetImage(4711u, L"PNG", 2), 0);
    Manager::SetInstance(saved);
    manager.ClearImgResInfo();
    text.SetManager(nullptr);
    other.SetManager(nullptr);
}
