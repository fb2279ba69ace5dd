#include "app/ui/CUIMessageBox.h"

#include "tests/app/ui/messagebox/BoxDriver.h"
#include "tests/app/ui/messagebox/ScreenPixels.h"

#include "tessel/render/Manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
constexpr int kDark = 110; // text pixels (colour 141414, anti-aliased) are at most this bright

class TesselEnvironment : public testing::Environment
{
public:
    void SetUp() override
    {
        Tessel::Manager::SetInstance(GetModuleHandleW(nullptr));
        ASSERT_EQ(Tessel::Manager::InitGdiplus(), 1);
    }
    void TearDown() override { Tessel::Manager::UnInitGdiplus(); }
};
const auto* const kEnvironment = testing::AddGlobalTestEnvironment(new TesselEnvironment);

// Rows [top, bottom) of a client rectangle that hold text-dark pixels, and their column span.
struct Ink
{
    std::vector<int> rows;
    int left = 100000;
    int right = -1;
    bool Empty() const { return rows.empty(); }
    int Top() const { return rows.front(); }
    int Bottom() const { return rows.back(); }
    // Separate runs of inked rows: the lines of a text.
    int Lines() const
    {
        int lines = 0;
        for (size_t i = 0; i < rows.size(); ++i)
            if (i == 0 || rows[i] != rows[i - 1] + 1)
                ++lines;
        return lines;
    }
};

Ink InkIn(const ScreenPixels& pixels, int left, int top, int right, int bottom)
{
    Ink ink;
    for (int y = top; y < bottom; ++y)
    {
        bool inked = false;
        for (int x = left; x < right; ++x)
        {
            if (pixels.MinChannel(x, y) <= kDark)
            {
                inked = true;
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
            }
        }
        if (inked)
            ink.rows.push_back(y);
    }
    return ink;
}

// What the helper thread saw of an open box.
struct Sighting
{
    RECT rect = {};
    LONG exStyle = 0;
    bool captured = false;
    Ink caption;
    Ink message;
    Ink between; // the bands around the message that must stay clear: it wraps inside its area
};

void Look(HWND box, const RECT& rect, Sighting& seen, const wchar_t* screenshot)
{
    seen.rect = rect;
    seen.exStyle = GetWindowLongW(box, GWL_EXSTYLE);
    ScreenPixels pixels(rect);
    seen.captured = pixels.IsValid();
    if (!seen.captured)
        return;
    if (screenshot)
        pixels.SavePng(ArtifactsFolder() + screenshot);
    seen.caption = InkIn(pixels, 20, 15, 360, 40);
    seen.message = InkIn(pixels, 20, 70, 360, 130);
    Ink above = InkIn(pixels, 2, 41, 378, 70);
    Ink below = InkIn(pixels, 2, 130, 378, 139);
    Ink sides = InkIn(pixels, 2, 70, 20, 130);
    Ink sidesRight = InkIn(pixels, 360, 70, 378, 130);
    for (const Ink* part : {&above, &below, &sides, &sidesRight})
        seen.between.rows.insert(seen.between.rows.end(), part->rows.begin(), part->rows.end());
}

void ExpectTopmostAndCentred(const Sighting& seen)
{
    EXPECT_NE(seen.exStyle & WS_EX_TOPMOST, 0);
    EXPECT_NE(seen.exStyle & WS_EX_TOOLWINDOW, 0);
    EXPECT_EQ(seen.rect.right - seen.rect.left, 380);
    EXPECT_EQ(seen.rect.bottom - seen.rect.top, 200);
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(seen.rect.left, (work.left + work.right) / 2 - 190);
    EXPECT_EQ(seen.rect.top, (work.top + work.bottom) / 2 - 100);
}

void ExpectCentredIn(const Ink& ink, int left, int top, int right, int bottom)
{
    ASSERT_FALSE(ink.Empty());
    EXPECT_NEAR(ink.Top() - top, bottom - 1 - ink.Bottom(), 4) << "vertically centred";
    EXPECT_NEAR(ink.left - left, right - 1 - ink.right, 4) << "horizontally centred";
}
} // namespace

TEST(UIMessageBox, OkBoxIsCentredTopmostAndOkReturnsOne)
{
    Sighting seen;
    BoxDriver driver(
        [&](HWND box, const RECT& rect)
        {
            Look(box, rect, seen, L"messagebox_ok.png");
            BoxDriver::ClickClientPoint(rect, 190, 175); // OK: (60, 160, 320, 190)
        });
    const int result =
        ShowMessageBox(L"Tarvik Kelvane is up to date.", L"Tarvik Kelvane Software Updates", MB_STYLE_OK);
    ASSERT_TRUE(driver.Finish());

    EXPECT_EQ(result, 1);
    ASSERT_TRUE(seen.captured);
    ExpectTopmostAndCentred(seen);
    EXPECT_EQ(seen.caption.Lines(), 1);
    ExpectCentredIn(seen.caption, 20, 15, 360, 40);
    EXPECT_EQ(seen.message.Lines(), 1);
    ExpectCentredIn(seen.message, 20, 70, 360, 130);
}

TEST(UIMessageBox, YesReturnsOneAndNoReturnsTwo)
{
    const wchar_t question[] = L"A new version of the software is available. Install it now?";
    const wchar_t caption[] = L"Tarvik Kelvane Software Updates";
    Sighting seen;
    BoxDriver yes(
        [&](HWND box, const RECT& rect)
        {
            Look(box, rect, seen, L"messagebox_yesno.png");
            BoxDriver::ClickClientPoint(rect, 120, 155); // YES: (70, 140, 170, 170)
        });
    EXPECT_EQ(ShowMessageBox(question, caption, MB_STYLE_YESNO), 1);
    ASSERT_TRUE(yes.Finish());
    ExpectTopmostAndCentred(seen);

    BoxDriver no(
        [&](HWND, const RECT& rect)
        {
            BoxDriver::ClickClientPoint(rect, 260, 155); // NO: (210, 140, 310, 170)
        });
    EXPECT_EQ(ShowMessageBox(question, caption, MB_STYLE_YESNO), 2);
    EXPECT_TRUE(no.Finish());
}

TEST(UIMessageBox, ClosedFromOutsideReturnsZero)
{
    BoxDriver driver([](HWND box, const RECT&) { PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_EQ(ShowMessageBox(L"Closed by the system.", L"Caption", MB_STYLE_YESNO), 0);
    EXPECT_TRUE(driver.Finish());
}

TEST(UIMessageBox, LongMessageWrapsInsideItsAreaAndStaysCentred)
{
    Sighting seen;
    BoxDriver driver(
        [&](HWND box, const RECT& rect)
        {
            Look(box, rect, seen, L"messagebox_long.png");
            PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
    ShowMessageBox(L"The firmware of the display is older than the one on the server. The update tool will "
                   L"start now.",
                   L"Tarvik Kelvane Firmware Updates", MB_STYLE_YESNO);
    ASSERT_TRUE(driver.Finish());
    ASSERT_TRUE(seen.captured);

    EXPECT_GE(seen.message.Lines(), 2) << "the text wraps";
    ExpectCentredIn(seen.message, 20, 70, 360, 130);
    EXPECT_TRUE(seen.between.Empty()) << "no text outside the 340 x 60 message area";
}

TEST(UIMessageBox, EmptyOrNullCaptionStillOpensWithABlankTopLine)
{
    for (const wchar_t* caption : {L"", static_cast<const wchar_t*>(nullptr)})
    {
        Sighting seen;
        BoxDriver driver(
            [&](HWND box, const RECT& rect)
            {
                Look(box, rect, seen, nullptr);
                BoxDriver::ClickClientPoint(rect, 190, 175);
            });
        EXPECT_EQ(ShowMessageBox(L"No caption.", caption, MB_STYLE_OK), 1);
        ASSERT_TRUE(driver.Finish());
        EXPECT_TRUE(seen.caption.Empty());
        EXPECT_FALSE(seen.message.Empty());
    }
}

TEST(UIMessageBox, UnknownStyleHasNoButtonsAndOnlyClosesFromOutside)
{
    Sighting seen;
    Ink buttons;
    BoxDriver driver(
        [&](HWND box, const RECT& rect)
        {
            ScreenPixels pixels(rect);
            buttons = InkIn(pixels, 2, 135, 378, 198);
            seen.captured = pixels.IsValid();
            // A click where OK would be does nothing.
            BoxDriver::ClickClientPoint(rect, 190, 175);
            Sleep(300);
            seen.exStyle = IsWindow(box) ? 1 : 0;
            PostMessageW(box, WM_CLOSE, 0, 0);
        });
    EXPECT_EQ(ShowMessageBox(L"No buttons.", L"Caption", 1), 0);
    ASSERT_TRUE(driver.Finish());
    ASSERT_TRUE(seen.captured);
    EXPECT_TRUE(buttons.Empty());
    EXPECT_EQ(seen.exStyle, 1) << "still open after the click";
}

TEST(UIMessageBox, MissingFaceFallsBackToTheSystemSansSerif)
{
    const Tessel::CString saved = Tessel::Manager::GetFontName();
    Tessel::Manager::SetFontName(L"No Such Face 4711");
    Sighting seen;
    BoxDriver driver(
        [&](HWND box, const RECT& rect)
        {
            Look(box, rect, seen, L"messagebox_missing_face.png");
            BoxDriver::ClickClientPoint(rect, 190, 175);
        });
    const int result =
        ShowMessageBox(L"Tarvik Kelvane is up to date.", L"Tarvik Kelvane Software Updates", MB_STYLE_OK);
    Tessel::Manager::SetFontName(saved);
    ASSERT_TRUE(driver.Finish());

    EXPECT_EQ(result, 1);
    ASSERT_TRUE(seen.captured);
    EXPECT_EQ(seen.caption.Lines(), 1);
    ExpectCentredIn(seen.caption, 20, 15, 360, 40);
    EXPECT_EQ(seen.message.Lines(), 1);
    ExpectCentredIn(seen.message, 20, 70, 360, 130);
}
