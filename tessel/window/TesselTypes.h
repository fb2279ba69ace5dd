#pragma once

namespace Tessel
{

// How a dialog draws its background image.
enum enumBackMode : int
{
    BACK_MODE_STRETCH = 0, // stretched over the client area
    BACK_MODE_FRAME = 1,   // nine-part frame, border width = the back-mode value
    BACK_MODE_NONE = 2,    // not drawn
};

// Which edge of a control anchors a tip bubble; type 4 bubbles do not hide by themselves.
enum AIRBLADDER_TYPE : int
{
    AIRBLADDER_TYPE_LEFT = 0,
    AIRBLADDER_TYPE_CENTER = 1,
    AIRBLADDER_TYPE_RIGHT = 2,
    AIRBLADDER_TYPE_3 = 3,
    AIRBLADDER_TYPE_STAY = 4,
};

// Layout of a tip bubble around its anchor point (0 = none).
enum AIRBLADDER_MODE : int
{
    AIRBLADDER_MODE_NONE = 0,
    AIRBLADDER_MODE_1 = 1,
    AIRBLADDER_MODE_2 = 2,
    AIRBLADDER_MODE_3 = 3,
    AIRBLADDER_MODE_4 = 4,
    AIRBLADDER_MODE_5 = 5,
};

} // namespace Tessel
