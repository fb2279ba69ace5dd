#include "tests/tessel/TesselTestKit.h"

#include "tessel/controls/CArea.h"
#include "tessel/controls/CImageButton.h"
#include "tessel/controls/MButton.h"
#include "tessel/controls/MPicture.h"
#include "tessel/controls/MText.h"
#include "tessel/paint/ControlFactory.h"
#include "tessel/paint/PaintManager.h"

#include <cwchar>

using namespace Tessel;

namespace
{

const CRect kRect(10, 10, 50, 40);

class FactoryTest : public ::testing::Test
{
protected:
    HostDialog dialog;
    PaintManager& pm = dialog.GetPaintManager();
    RecordingParent parent;
};

TEST_F(FactoryTest, NamesAreExactAndCaseSensitive)
{
    EXPECT_EQ(nullptr, pm.CreateControl(1, &parent, L"mtext", 1, kRect, L"x", 1, 1));
    EXPECT_EQ(nullptr, pm.CreateControl(1, &parent, L"MText ", 1, kRect, L"x", 1, 1));
    EXPECT_EQ(nullptr, pm.CreateControl(1, &parent, L"MTex", 1, kRect, L"x", 1, 1));
    EXPECT_EQ(nullptr, pm.CreateControl(1, &parent, L"", 1, kRect, L"x", 1, 1));
    EXPECT_EQ(nullptr, pm.CreateControl(1, &parent, nullptr, 1, kRect, L"x", 1, 1));
    EXPECT_TRUE(pm.GetControls().empty());
    EXPECT_TRUE(pm.GetAreas().empty());

    MControl* label = pm.CreateControl(1, &parent, L"MText", 1, kRect, L"Hello", 1, 1);
    ASSERT_NE(nullptr, label);
    EXPECT_NE(nullptr, dynamic_cast<MText*>(label));
    EXPECT_STREQ(L"MControl", label->GetClassNameW());
    EXPECT_EQ(1u, pm.GetControls().size());
    EXPECT_EQ(&pm, label->GetManager());
    EXPECT_EQ(&parent, label->GetParantObject());
}

TEST_F(FactoryTest, TableKeepsEveryNameInOrderAndCatalogueNamesGiveNull)
{
    const wchar_t* expected[] = {
        L"CArea",        L"MText",         L"MPicture",      L"CPhotoFrame",   L"CSliderPicture",
        L"CGifPicture",  L"MProgress",     L"MSlider",       L"MLevelCtrl",    L"MButton",
        L"CImageButton", L"CTextButton",   L"CCheckButton",  L"CRadioButton",  L"CColorButton",
        L"MSpinButton",  L"CSpinButton",   L"CSwitchButton", L"CIconButton",   L"CTimerButton",
        L"CHelpButton",  L"MEdit",         L"MRichEdit",     L"MEditEx",       L"MComboBox",
        L"MTabCtrl",     L"MTabLayout",    L"MListBox",      L"MPalette",      L"CColorPalette",
        L"CColorSelect", L"CirclePalette", L"CComboBoxList", L"MenuItem",      L"KeyboardCtrl",
        L"CDeviceCtrl",  L"CFanDevCtrl",   L"MButton2",      L"CImageButton2", L"CTabCtrl2",
        L"CTabCtrlEx",   L"CTabCtrl5",     L"CHomeFuncCtrl"};
    const auto& entries = ControlFactory::GetEntries();
    ASSERT_EQ(sizeof(expected) / sizeof(expected[0]), entries.size());
    const wchar_t* basic[] = {L"CArea", L"MText", L"MPicture", L"MButton", L"CImageButton"};
    for (size_t i = 0; i < entries.size(); ++i)
    {
        EXPECT_STREQ(expected[i], entries[i].name);
        EXPECT_EQ(static_cast<int>(i), ControlFactory::Find(expected[i]));
        bool isBasic = false;
        for (const wchar_t* b : basic)
            isBasic = isBasic || wcscmp(b, expected[i]) == 0;
        MControl* c = pm.CreateControl(1, &parent, expected[i], 1, kRect, L"t", 1, 1);
        EXPECT_EQ(isBasic, c != nullptr) << "class " << i;
    }
    // Only the five basic classes reached the list.
    EXPECT_EQ(5u, pm.GetControls().size());
}

TEST_F(FactoryTest, ArgumentPatternsFixTheFlags)
{
    // Labels are disabled and areas enabled, whatever the second flag says.
    MControl* label = pm.CreateControl(1, &parent, L"MText", 1, kRect, L"x", 1, 1);
    MControl* area = pm.CreateArea(&parent, L"CArea", 2, kRect, nullptr, 1, 0);
    ASSERT_TRUE(label && area);
    EXPECT_EQ(0, label->IsEnabled());
    EXPECT_EQ(1, area->IsEnabled());
    EXPECT_EQ(1, label->GetRresponse());

    // Pattern C and D pass both flags on.
    MControl* hiddenPicture = pm.CreateArea(&parent, L"MPicture", 3, kRect, nullptr, 0, 1);
    MControl* disabledButton = pm.CreateControl(&parent, L"MButton", 4, kRect, L"OK", 1, 0);
    MControl* imageButton = pm.CreateControl(&parent, L"CImageButton", 5, kRect, L"Tip", 1, 1);
    ASSERT_TRUE(hiddenPicture && disabledButton && imageButton);
    EXPECT_EQ(0, hiddenPicture->IsVisible());
    EXPECT_EQ(1, hiddenPicture->IsEnabled());
    EXPECT_EQ(0, disabledButton->IsEnabled());
    EXPECT_EQ(MButton::STATE_DISABLED, static_cast<MButton*>(disabledButton)->GetState());
    EXPECT_STREQ(L"OK", static_cast<MButton*>(disabledButton)->GetTitle().GetString());
    EXPECT_NE(nullptr, dynamic_cast<CImageButton*>(imageButton));
    EXPECT_STREQ(L"Tip", static_cast<CImageButton*>(imageButton)->GetTitle().GetString());
}

TEST_F(FactoryTest, ListSelectorChoosesTheList)
{
    MControl* area = pm.CreateControl(0, &parent, L"CArea", 1, kRect, nullptr, 1, 1);
    MControl* control = pm.CreateControl(1, &parent, L"CArea", 2, kRect, nullptr, 1, 1);
    MControl* loose = pm.CreateControl(7, &parent, L"CArea", 3, kRect, nullptr, 1, 1);
    ASSERT_TRUE(area && control && loose);
    ASSERT_EQ(1u, pm.GetAreas().size());
    ASSERT_EQ(1u, pm.GetControls().size());
    EXPECT_EQ(area, pm.GetAreas()[0]);
    EXPECT_EQ(control, pm.GetControls()[0]);
    // Not listed: bound to the manager, owned by the caller.
    EXPECT_EQ(&pm, loose->GetManager());
    EXPECT_EQ(nullptr, pm.GetControl(3));
    delete loose;
}

TEST_F(FactoryTest, AreasAreDrawnBeforeControlsWhateverTheOrderOfCreation)
{
    // An opaque red control first, then an opaque blue area over the same spot.
    auto* control = static_cast<CArea*>(pm.CreateControl(1, &parent, L"CArea", 1, kRect, nullptr, 1, 1));
    auto* area = static_cast<CArea*>(pm.CreateControl(0, &parent, L"CArea", 2, kRect, nullptr, 1, 1));
    ASSERT_TRUE(control && area);
    control->SetTransparent(0, 0, RGB(255, 0, 0));
    area->SetTransparent(0, 0, RGB(0, 0, 255));
    Canvas canvas(60, 50, 0xFF000000);
    pm.DrawControl(canvas.DC(), CRect(0, 0, 60, 50));
    EXPECT_TRUE(Near(0xFFFF0000, canvas.At(30, 25))) << std::hex << canvas.At(30, 25);
}

TEST_F(FactoryTest, GetControlSearchesControlsBeforeAreasAndChildrenBeforeLaterControls)
{
    MControl* earlyArea = pm.CreateArea(&parent, L"CArea", 7, kRect, nullptr, 1, 1);
    MControl* first = pm.CreateControl(&parent, L"CArea", 7, kRect, nullptr, 1, 1);
    MControl* second = pm.CreateControl(&parent, L"CArea", 7, kRect, nullptr, 1, 1);
    ASSERT_TRUE(earlyArea && first && second);
    EXPECT_EQ(first, pm.GetControl(7));

    // A sub-control of an earlier control wins over a later top-level control.
    MControl* container = pm.CreateControl(&parent, L"CArea", 20, kRect, nullptr, 1, 1);
    auto* child = new CArea(container, 9, kRect, 1, 1);
    container->AddControl(child);
    MControl* later = pm.CreateControl(&parent, L"CArea", 9, kRect, nullptr, 1, 1);
    ASSERT_NE(nullptr, later);
    EXPECT_EQ(child, pm.GetControl(9));

    // Areas are searched last; nothing matches gives null.
    MControl* onlyArea = pm.CreateArea(&parent, L"MPicture", 30, kRect, nullptr, 1, 1);
    EXPECT_EQ(onlyArea, pm.GetControl(30));
    EXPECT_EQ(nullptr, pm.GetControl(31));
}

TEST_F(FactoryTest, RemovalAndClearing)
{
    MControl* a = pm.CreateControl(&parent, L"CArea", 1, kRect, nullptr, 1, 1);
    MControl* b = pm.CreateControl(&parent, L"CArea", 2, kRect, nullptr, 1, 1);
    MControl* c = pm.CreateControl(&parent, L"CArea", 3, kRect, nullptr, 1, 1);
    MControl* area = pm.CreateArea(&parent, L"CArea", 4, kRect, nullptr, 1, 1);
    ASSERT_TRUE(a && b && c && area);

    // Only the control list is searched; later controls move up.
    EXPECT_EQ(0, pm.RemoveControl(area));
    EXPECT_EQ(1, pm.RemoveControl(b));
    ASSERT_EQ(2u, pm.GetControls().size());
    EXPECT_EQ(a, pm.GetControls()[0]);
    EXPECT_EQ(c, pm.GetControls()[1]);

    pm.ClearAreaControls();
    EXPECT_TRUE(pm.GetAreas().empty());
    EXPECT_EQ(2u, pm.GetControls().size());
    pm.CreateArea(&parent, L"CArea", 5, kRect, nullptr, 1, 1);
    pm.ClearAllControls();
    EXPECT_TRUE(pm.GetAreas().empty());
    EXPECT_TRUE(pm.GetControls().empty());
}

TEST_F(FactoryTest, DialogFormsUseTheDialogAsParent)
{
    MControl* control = dialog.CreateControl(L"MButton", 1, kRect, L"OK", 1, 1);
    MControl* area = dialog.CreateArea(L"MText", 2, kRect, L"Caption", 1, 1);
    ASSERT_TRUE(control && area);
    EXPECT_EQ(static_cast<MObject*>(&dialog), control->GetParantObject());
    EXPECT_EQ(control, dialog.GetControl(1));
    EXPECT_EQ(area, dialog.GetControl(2));
    EXPECT_EQ(1u, dialog.GetControls().size());
}

} // namespace
