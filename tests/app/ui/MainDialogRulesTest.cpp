#include "app/ui/MainDialogRules.h"

#include <gtest/gtest.h>

using namespace MainDialogRules;

TEST(MainDialogRules, HitOrderDecidesOverlapsAndEdges)
{
    EXPECT_EQ(HitTest(250, 303), ClickTarget::Source);
    EXPECT_EQ(HitTest(24, 12), ClickTarget::Led) << "left and top edges belong to the rectangle";
    EXPECT_EQ(HitTest(117, 12), ClickTarget::Nothing) << "the right edge does not";
    // The unit picture (to y 245) and the help picture (from y 240) share a strip.
    EXPECT_EQ(HitTest(139, 240), ClickTarget::Unit);
    EXPECT_EQ(HitTest(363, 244), ClickTarget::Unit);
    EXPECT_EQ(HitTest(200, 245), ClickTarget::Help);
    EXPECT_EQ(HitTest(84, 242), ClickTarget::Unit) << "left of the help picture";
    EXPECT_EQ(HitTest(451, 14), ClickTarget::Close);
    EXPECT_EQ(HitTest(434, 26), ClickTarget::Nothing) << "between settings and close";
    EXPECT_EQ(HitTest(406, 39), ClickTarget::Settings);
    EXPECT_EQ(HitTest(10, 340), ClickTarget::Nothing);
}

TEST(MainDialogRules, ToggleRules)
{
    EXPECT_EQ(NextLedSwitch(1), 2);
    EXPECT_EQ(NextLedSwitch(2), 1);
    EXPECT_EQ(NextLedSwitch(5), 1);
    EXPECT_EQ(NextLedSwitch(0), 1);
    EXPECT_EQ(NextToggle(0), 1);
    EXPECT_EQ(NextToggle(1), 0);
    EXPECT_EQ(NextToggle(7), 0);
    EXPECT_EQ(NextToggle(NextToggle(0)), 0) << "two source clicks write 1 then 0";
}
