#include "samples/gallery/GalleryDialog.h"

#include "tessel/controls/CArea.h"
#include "tessel/controls/CImageButton.h"
#include "tessel/controls/MButton.h"
#include "tessel/controls/MPicture.h"
#include "tessel/controls/MText.h"

using namespace Tessel;

namespace
{
const Gdiplus::ARGB kCaption = 0xFF9AA4B2;
const Gdiplus::ARGB kBody = 0xFFE6EBF1;
const int kLeft = 20;
const int kColumn = 130;
} // namespace

MControl* GalleryDialog::Label(const wchar_t* text, int x, int y, int w, int h, int size, int bold)
{
    auto* label = static_cast<MText*>(CreateArea(L"MText", 0, CRect(x, y, x + w, y + h), text, 1, 1));
    if (!label)
        return nullptr;
    label->SetFont(nullptr, size, bold ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular);
    label->SetTextColor(Gdiplus::Color(bold ? kBody : kCaption));
    return label;
}

void GalleryDialog::InitUI(CRect client)
{
    MDialog::InitUI(client);
    SetLayeredWindow(TRUE);
    GetPaintManager().SetBackColor(RGB(0x1C, 0x20, 0x27), RGB(0x3A, 0x42, 0x50));

    Label(L"Tessel basic controls", kLeft, 12, 400, 30, 20, 1);
    ButtonRow(56);
    ImageButtonRow(112);
    PictureRow(168);
    TextRow(262);
    AreaRow(370);
}

void GalleryDialog::ButtonRow(int y)
{
    Label(L"MButton", kLeft, y, 110, 30, 13, 0);
    const wchar_t* titles[] = {L"Normal", L"Hover", L"Pressed", L"Disabled"};
    for (int i = 0; i < 4; ++i)
    {
        const int x = kColumn + i * 125;
        auto* button = static_cast<MButton*>(
            CreateControl(L"MButton", 100 + i, CRect(x, y, x + 110, y + 30), titles[i], 1, 1));
        if (!button)
            continue;
        button->SetImage(L"img_button.png", 4);
        button->SetTextColor(Gdiplus::Color(0xFF141414));
        m_stateButtons.push_back(button);
    }
}

void GalleryDialog::ImageButtonRow(int y)
{
    Label(L"CImageButton", kLeft, y, 110, 30, 13, 0);
    struct Strip
    {
        const wchar_t* file;
        int w, h;
    };
    const Strip strips[] = {
        {L"img_close.png", 26, 25}, {L"img_set.png", 28, 28}, {L"img_return.png", 28, 28}};
    for (int s = 0; s < 3; ++s)
    {
        for (int state = 0; state < 4; ++state)
        {
            const int x = kColumn + s * 160 + state * 36;
            const CRect rc(x, y + 1, x + strips[s].w, y + 1 + strips[s].h);
            auto* button = static_cast<CImageButton*>(
                CreateControl(L"CImageButton", 200 + s * 4 + state, rc, L"", 1, 1));
            if (!button)
                continue;
            button->SetImage(strips[s].file, 4);
            if (state == 0)
                continue;
            if (state == 3)
                button->SetEnabled(0);
            else
                m_stateButtons.push_back(button);
        }
    }
    // Hover shows its title in a tip bubble at its right edge.
    auto* tipped = static_cast<CImageButton*>(CreateControl(
        L"CImageButton", 299, CRect(kColumn + 490, y + 1, kColumn + 518, y + 29), L"Settings", 1, 1));
    if (tipped)
    {
        tipped->SetImage(L"img_set.png", 4);
        tipped->SetAlrBladderMode(AIRBLADDER_MODE_1);
        m_bubbleButton = tipped;
    }
}

void GalleryDialog::PictureRow(int y)
{
    Label(L"MPicture\nmodes 0-5", kLeft, y, 110, 80, 13, 0);
    struct Shown
    {
        const wchar_t* file;
        enumShowMode mode;
    };
    const Shown shown[] = {
        {L"img_led_on.png", SHOW_MODE_NORMAL},   {L"img_tip_bk.png", SHOW_MODE_TILE},
        {L"img_led_off.png", SHOW_MODE_STRETCH}, {L"img_tip_bk.png", SHOW_MODE_FRAME},
        {L"img_bkg.png", SHOW_MODE_FRAME_MID},   {L"img_temp_type1.png", SHOW_MODE_CUSTOM}};
    for (int i = 0; i < 6; ++i)
    {
        const int x = kColumn + i * 85;
        auto* picture =
            static_cast<MPicture*>(CreateArea(L"MPicture", 300 + i, CRect(x, y, x + 76, y + 76), L"", 1, 1));
        if (!picture)
            continue;
        picture->SetImage(shown[i].file, 1);
        if (shown[i].mode == SHOW_MODE_FRAME_MID)
            picture->SetShowModeMID(20, 60, 20, 30);
        else
            picture->SetShowMode(shown[i].mode, 6);
        if (shown[i].mode == SHOW_MODE_CUSTOM)
            picture->SetCustomRect(CRect(40, 44, 166, 116));
    }
}

void GalleryDialog::TextRow(int y)
{
    Label(L"MText", kLeft, y, 110, 30, 13, 0);
    const UINT aligns[] = {0, 1, 2};
    const wchar_t* titles[] = {L"Left", L"Centre", L"Right"};
    for (int i = 0; i < 3; ++i)
    {
        const int x = kColumn + i * 100;
        auto* text =
            static_cast<MText*>(CreateArea(L"MText", 400 + i, CRect(x, y, x + 90, y + 30), titles[i], 1, 1));
        if (!text)
            continue;
        text->EnableTextBack(1, Gdiplus::Color(0xFF2C3440));
        text->SetAlignment(aligns[i]);
        text->SetTextColor(Gdiplus::Color(kBody));
    }
    auto* wrapped = static_cast<MText*>(
        CreateArea(L"MText", 410, CRect(kColumn + 310, y, kColumn + 500, y + 90),
                   L"A longer message wraps inside its box and stays centred vertically.", 1, 1));
    if (wrapped)
    {
        wrapped->EnableMultiLine(1);
        wrapped->EnableVCenter(1);
        wrapped->SetAlignment(1, 4);
        wrapped->EnableTextBack(1, Gdiplus::Color(0xFFE9EDF2));
        wrapped->SetTextColor(Gdiplus::Color(0xFF141414));
    }
    auto* bold = static_cast<MText*>(
        CreateArea(L"MText", 411, CRect(kColumn, y + 40, kColumn + 300, y + 90), L"Bold 28 px", 1, 1));
    if (bold)
    {
        bold->SetFont(L"Alibaba-PuHuiTi-Medium", 28, Gdiplus::FontStyleBold);
        bold->SetTextColor(Gdiplus::Color(0xFF22C3E6));
    }
}

void GalleryDialog::AreaRow(int y)
{
    Label(L"CArea", kLeft, y, 110, 30, 13, 0);
    auto* wash =
        static_cast<CArea*>(CreateArea(L"CArea", 500, CRect(kColumn, y, kColumn + 150, y + 70), L"", 1, 0));
    auto* ramp = static_cast<CArea*>(
        CreateArea(L"CArea", 501, CRect(kColumn + 170, y, kColumn + 320, y + 70), L"", 1, 0));
    if (ramp)
        ramp->SetTransparent(0, 100, RGB(0x22, 0xC3, 0xE6));
    auto* framed = static_cast<CArea*>(
        CreateArea(L"CArea", 502, CRect(kColumn + 340, y, kColumn + 490, y + 70), L"", 1, 0));
    if (framed)
    {
        framed->SetTransparent(0, 0, RGB(0x2C, 0x34, 0x40));
        framed->SetFrame(1, Gdiplus::Color(0xFE22C3E6), 0);
    }
    (void)wash;
}

void GalleryDialog::ShowButtonStates()
{
    // Ids encode the state to show: 100 + state for the captioned buttons, 200 + 4 * strip + state
    // for the image buttons.
    for (MButton* button : m_stateButtons)
    {
        const UINT id = button->GetControlID();
        const UINT state = id >= 200 ? (id - 200) % 4 : id - 100;
        const CPoint centre = button->GetRect().CenterPoint();
        if (state == MButton::STATE_HOVER)
            button->OnControlMouseMove(0, centre);
        else if (state == MButton::STATE_PRESSED)
            button->OnControlLButtonDown(0, centre);
        else if (state == MButton::STATE_DISABLED)
            button->SetEnabled(0);
    }
    GetPaintManager().Invalidate();
}

POINT GalleryDialog::BubbleAnchor()
{
    POINT pt = {0, 0};
    if (!m_bubbleButton)
        return pt;
    const CRect rc = m_bubbleButton->GetRect();
    pt.x = rc.right;
    pt.y = rc.top + rc.Height() / 2;
    ClientToScreen(&pt);
    return pt;
}

LONG GalleryDialog::OnMessage(UINT, UINT, UINT, LONG)
{
    return 0;
}
