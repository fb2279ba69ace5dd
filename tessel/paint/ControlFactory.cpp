#include "tessel/paint/ControlFactory.h"

#include "tessel/controls/CArea.h"
#include "tessel/controls/CImageButton.h"
#include "tessel/controls/MButton.h"
#include "tessel/controls/MPicture.h"
#include "tessel/controls/MText.h"

#include <cwchar>
#include <string>

namespace Tessel
{

const std::vector<ControlFactory::Entry>& ControlFactory::GetEntries()
{
    static const std::vector<Entry> entries = {
        {L"CArea", PATTERN_A},         {L"MText", PATTERN_B},          {L"MPicture", PATTERN_C},
        {L"CPhotoFrame", PATTERN_C},   {L"CSliderPicture", PATTERN_C}, {L"CGifPicture", PATTERN_C},
        {L"MProgress", PATTERN_C},     {L"MSlider", PATTERN_C},        {L"MLevelCtrl", PATTERN_C},
        {L"MButton", PATTERN_D},       {L"CImageButton", PATTERN_D},   {L"CTextButton", PATTERN_D},
        {L"CCheckButton", PATTERN_D},  {L"CRadioButton", PATTERN_D},   {L"CColorButton", PATTERN_C},
        {L"MSpinButton", PATTERN_C},   {L"CSpinButton", PATTERN_C},    {L"CSwitchButton", PATTERN_C},
        {L"CIconButton", PATTERN_D},   {L"CTimerButton", PATTERN_D},   {L"CHelpButton", PATTERN_D},
        {L"MEdit", PATTERN_D},         {L"MRichEdit", PATTERN_D},      {L"MEditEx", PATTERN_D},
        {L"MComboBox", PATTERN_C},     {L"MTabCtrl", PATTERN_C},       {L"MTabLayout", PATTERN_E},
        {L"MListBox", PATTERN_E},      {L"MPalette", PATTERN_E},       {L"CColorPalette", PATTERN_E},
        {L"CColorSelect", PATTERN_E},  {L"CirclePalette", PATTERN_F},  {L"CComboBoxList", PATTERN_F},
        {L"MenuItem", PATTERN_G},      {L"KeyboardCtrl", PATTERN_E},   {L"CDeviceCtrl", PATTERN_F},
        {L"CFanDevCtrl", PATTERN_F},   {L"MButton2", PATTERN_G},       {L"CImageButton2", PATTERN_G},
        {L"CTabCtrl2", PATTERN_F},     {L"CTabCtrlEx", PATTERN_F},     {L"CTabCtrl5", PATTERN_F},
        {L"CHomeFuncCtrl", PATTERN_F},
    };
    return entries;
}

int ControlFactory::Find(const wchar_t* className)
{
    if (!className || !*className)
        return -1;
    const std::vector<Entry>& entries = GetEntries();
    for (size_t i = 0; i < entries.size(); ++i)
    {
        if (wcscmp(entries[i].name, className) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

MControl* ControlFactory::Create(MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                 const wchar_t* text, int first, int second)
{
    // The caller's buffer may change while the control is built.
    const std::wstring name = className ? className : L"";
    const int index = Find(name.c_str());
    if (index < 0)
        return nullptr;
    const wchar_t* cls = GetEntries()[static_cast<size_t>(index)].name;
    if (wcscmp(cls, L"CArea") == 0)
        return new CArea(parent, id, rect, first, 1);
    if (wcscmp(cls, L"MText") == 0)
        return new MText(parent, id, rect, text, first);
    if (wcscmp(cls, L"MPicture") == 0)
        return new MPicture(parent, id, rect, first, second);
    if (wcscmp(cls, L"MButton") == 0)
        return new MButton(parent, id, rect, text, first, second);
    if (wcscmp(cls, L"CImageButton") == 0)
        return new CImageButton(parent, id, rect, text, first, second);
    // The widget catalogue is not part of this library.
    return nullptr;
}

} // namespace Tessel
