#include "app/ui/CUIMessageBox.h"

#include "tessel/controls/MButton.h"
#include "tessel/controls/MText.h"

#include <memory>

using Tessel::CRect;

namespace
{
constexpr wchar_t kWindowName[] = L"MessageBox";
constexpr int kWidth = 380;
constexpr int kHeight = 200;
constexpr int kFrameBorder = 30;
constexpr wchar_t kButtonImage[] = L"img_button.png";
constexpr int kButtonFrames = 4;
constexpr UINT kCentre = 1;
constexpr UINT kVCentre = 4;
constexpr UINT kClickCode = Tessel::MButton::kCodeClicked;

Gdiplus::Color TextColor()
{
    return Gdiplus::Color(0xFF141414);
}
} // namespace

CUIMessageBox::CUIMessageBox() = default;

CUIMessageBox::~CUIMessageBox() = default;

void CUIMessageBox::SetCaption(const wchar_t* caption)
{
    m_caption = caption ? caption : L"";
}

void CUIMessageBox::SetMessage(const wchar_t* message)
{
    m_message = message ? message : L"";
}

int CUIMessageBox::OnInitDialog()
{
    MDialog::OnInitDialog();
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return 1;
}

void CUIMessageBox::InitUI(CRect client)
{
    auto* caption = static_cast<Tessel::MText*>(
        CreateArea(L"MText", kCaptionId, CRect(20, 15, client.right - 20, 40), m_caption.GetString(), 1, 1));
    if (caption)
    {
        caption->SetAlignment(kCentre);
        caption->SetTextColor(TextColor());
    }

    // Signed division toward zero, as the layout is specified for any client height.
    const int mid = (client.bottom - client.top) / 2;
    auto* message = static_cast<Tessel::MText*>(CreateArea(
        L"MText", kMessageId, CRect(20, mid - 30, client.right - 20, mid + 30), m_message.GetString(), 1, 1));
    if (message)
    {
        message->SetAlignment(kCentre, kVCentre);
        message->EnableMultiLine(1);
        message->EnableVCenter(1);
        message->SetTextColor(TextColor());
    }

    if (m_style == MB_STYLE_OK)
    {
        CreateButton(kOkYesId, CRect(60, client.bottom - 40, client.right - 60, client.bottom - 10), L"OK");
    }
    else if (m_style == MB_STYLE_YESNO)
    {
        const int cx = (client.right - client.left) / 2;
        CreateButton(kOkYesId, CRect(cx - 120, client.bottom - 60, cx - 20, client.bottom - 30), L"YES");
        CreateButton(kNoId, CRect(cx + 20, client.bottom - 60, cx + 120, client.bottom - 30), L"NO");
    }
}

void CUIMessageBox::CreateButton(UINT id, CRect rect, const wchar_t* title)
{
    auto* button = static_cast<Tessel::MControlFont*>(CreateControl(L"MButton", id, rect, title, 1, 1));
    if (!button)
        return;
    button->SetImage(kButtonImage, kButtonFrames);
    button->SetTextColor(TextColor());
}

void CUIMessageBox::UISize(CRect) {}

LONG CUIMessageBox::OnMessage(UINT id, UINT code, UINT, LONG)
{
    if (code != kClickCode)
        return 0;
    if (id == kOkYesId)
    {
        DoOK();
        return 1;
    }
    if (id == kNoId)
    {
        DoCancel();
        return 1;
    }
    return 0;
}

LRESULT CUIMessageBox::OnDestroy()
{
    return 0;
}

int ShowMessageBox(const wchar_t* message, const wchar_t* caption, int style)
{
    auto box = std::make_unique<CUIMessageBox>();
    box->SetCaption(caption);
    box->SetMessage(message);
    box->SetStyle(style);
    box->SetBackMode(Tessel::BACK_MODE_FRAME, kFrameBorder);
    box->Create(nullptr, kWindowName, WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                WS_EX_TOOLWINDOW, CRect(0, 0, kWidth, kHeight));
    box->CenterWindow(nullptr);
    return static_cast<int>(box->ShowModal(SW_SHOWNORMAL));
}
