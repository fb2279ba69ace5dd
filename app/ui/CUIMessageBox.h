#pragma once

#include "tessel/render/CString.h"
#include "tessel/window/MDialog.h"

constexpr int MB_STYLE_OK = 0;
constexpr int MB_STYLE_YESNO = 4;

// The program's skinned message box: a caption line, a centred multi-line message and either one
// OK button or YES and NO. 380 x 200, drawn on the paint manager's flat frame background.
class CUIMessageBox : public Tessel::MDialog
{
public:
    static constexpr UINT kCaptionId = 31;
    static constexpr UINT kMessageId = 32;
    static constexpr UINT kOkYesId = 33;
    static constexpr UINT kNoId = 34;

    CUIMessageBox();
    ~CUIMessageBox() override;

    int OnInitDialog() override;
    void InitUI(Tessel::CRect client) override;
    void UISize(Tessel::CRect client) override;
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override;
    LRESULT OnDestroy() override;

    // A null text counts as empty.
    void SetCaption(const wchar_t* caption);
    void SetMessage(const wchar_t* message);
    void SetStyle(int style) { m_style = style; }

private:
    void CreateButton(UINT id, Tessel::CRect rect, const wchar_t* title);

    Tessel::CString m_caption;
    Tessel::CString m_message;
    int m_style = MB_STYLE_OK;
};

// Shows the box centred and topmost and runs its modal loop. Returns 1 for OK or YES, 2 for NO,
// and what the loop reports otherwise (0 when the window was closed from outside).
int ShowMessageBox(const wchar_t* message, const wchar_t* caption, int style);
