#include "samples/gallery/ShadowDemoDialog.h"

#include "tessel/controls/MButton.h"
#include "tessel/controls/MText.h"

using namespace Tessel;

void ShadowDemoDialog::InitUI(CRect client)
{
    MDialog::InitUI(client);
    SetLayeredWindow(TRUE);
    GetPaintManager().SetBackColor(RGB(0xEE, 0xF1, 0xF5), RGB(0xC5, 0xCD, 0xD7));
    auto* title = static_cast<MText*>(
        CreateArea(L"MText", 1, CRect(16, 14, client.right - 16, 44), L"Shadowed dialog", 1, 1));
    if (title)
    {
        title->SetFont(nullptr, 18, Gdiplus::FontStyleBold);
        title->SetTextColor(Gdiplus::Color(0xFF141414));
    }
    auto* body =
        static_cast<MText*>(CreateArea(L"MText", 2, CRect(16, 48, client.right - 16, 100),
                                       L"Size 12, sharpness 10, darkness 160, offset (4, 6).", 1, 1));
    if (body)
    {
        body->EnableMultiLine(1);
        body->SetTextColor(Gdiplus::Color(0xFF3A4250));
    }
    auto* ok = static_cast<MButton*>(CreateControl(
        L"MButton", 3, CRect(client.right - 116, client.bottom - 46, client.right - 16, client.bottom - 16),
        L"OK", 1, 1));
    if (ok)
    {
        ok->SetImage(L"img_button.png", 4);
        ok->SetTextColor(Gdiplus::Color(0xFF141414));
    }
}

int ShadowDemoDialog::OnInitDialog()
{
    MDialog::OnInitDialog();
    if (::GetEnvironmentVariableW(L"GALLERY_NO_SHADOW", nullptr, 0))
        return 1;
    CreateShadow(1, false);
    SetSharpness(10);
    SetDarkness(160);
    SetPosition(4, 6);
    SetSize(12);
    return 1;
}
