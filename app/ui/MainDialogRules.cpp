#include "app/ui/MainDialogRules.h"

namespace MainDialogRules
{
ClickTarget HitTest(int x, int y)
{
    if (kSourcePicture.Contains(x, y))
        return ClickTarget::Source;
    if (kLedPicture.Contains(x, y))
        return ClickTarget::Led;
    if (kUnitPicture.Contains(x, y))
        return ClickTarget::Unit;
    if (kHelpPicture.Contains(x, y))
        return ClickTarget::Help;
    if (kCloseButton.Contains(x, y))
        return ClickTarget::Close;
    if (kSettingsButton.Contains(x, y))
        return ClickTarget::Settings;
    return ClickTarget::Nothing;
}

int NextLedSwitch(int value)
{
    return value == 1 ? 2 : 1;
}

int NextToggle(int value)
{
    return value != 0 ? 0 : 1;
}
} // namespace MainDialogRules
