#pragma once

// The main dialog's fixed layout and click rules, free of any window.
namespace MainDialogRules
{
struct Box
{
    int left, top, right, bottom;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

constexpr int kWidth = 500;
constexpr int kHeight = 350;
constexpr int kCornerMargin = 2;

constexpr Box kCloseButton{451, 14, 477, 39};
constexpr Box kSettingsButton{406, 12, 434, 40};
constexpr Box kLedPicture{24, 12, 117, 43};
constexpr Box kUnitPicture{84, 106, 417, 245};
constexpr Box kSourcePicture{205, 289, 296, 317};
constexpr Box kHelpPicture{139, 240, 364, 299};
constexpr Box kVersionText{139, 110, 389, 135};
constexpr Box kDeviceText{195, 175, 420, 200};

enum class ClickTarget
{
    Source,
    Led,
    Unit,
    Help,
    Close,
    Settings,
    Nothing,
};

// The first rectangle that holds the point, in the dialog's order: source, LED, unit, help,
// close, settings. The unit picture wins the strip it shares with the help picture.
ClickTarget HitTest(int x, int y);

// 1 (lit) becomes 2 (blanked); anything else becomes 1.
int NextLedSwitch(int value);
// Non-zero becomes 0, 0 becomes 1 (source and unit).
int NextToggle(int value);
} // namespace MainDialogRules
