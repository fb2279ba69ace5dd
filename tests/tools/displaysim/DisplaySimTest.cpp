#include "tools/displaysim/DisplaySimControl.h"

#include <gtest/gtest.h>

TEST(DisplaySim, Loads)
{
    EXPECT_GE(displaysim_display_count(), 0);
}
