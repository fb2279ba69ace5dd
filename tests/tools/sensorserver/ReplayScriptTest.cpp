#include "tools/sensorserver/ReplayScript.h"

#include <gtest/gtest.h>

#include <cmath>

using thermivox::ReplayScript;

TEST(ReplayScript, StepsInheritOmittedKeysAndDefaultToLive)
{
    const ReplayScript script = ReplayScript::Parse("# curve\n"
                                                    "cpu=37.9 gpu2name=Radeon_RX_7600 gpu2=61.5 ms=250\n"
                                                    "\n"
                                                    "cpu=40   # warmer\n"
                                                    "live=0 gpu2name=-\n");
    ASSERT_EQ(script.steps().size(), 3u);
    EXPECT_TRUE(script.errors().empty());
    const auto& first = script.steps()[0];
    EXPECT_FLOAT_EQ(first.readings.cpu, 37.9f);
    EXPECT_FLOAT_EQ(first.readings.liveness, 1.0f);
    EXPECT_EQ(first.readings.gpuName[0], "");
    EXPECT_EQ(first.readings.gpuName[1], "Radeon RX 7600");
    EXPECT_EQ(first.holdMs, 250u);
    const auto& second = script.steps()[1];
    EXPECT_FLOAT_EQ(second.readings.cpu, 40.0f);
    EXPECT_FLOAT_EQ(second.readings.gpu[1], 61.5f);
    EXPECT_EQ(second.holdMs, 1000u) << "the hold time is per line, not inherited";
    const auto& third = script.steps()[2];
    EXPECT_FLOAT_EQ(third.readings.liveness, 0.0f);
    EXPECT_EQ(third.readings.gpuName[1], "");
    EXPECT_FLOAT_EQ(third.readings.cpu, 40.0f);
}

TEST(ReplayScript, BadLinesAreSkippedWholeAndReported)
{
    const ReplayScript script = ReplayScript::Parse("cpu=50\n"
                                                    "cpu=70 gpu3=1\n"
                                                    "cpu=abc\n"
                                                    "cpu=1e999\n"
                                                    "ms=0\n"
                                                    "cpu 60\n"
                                                    "cpu=nan\n");
    ASSERT_EQ(script.steps().size(), 2u);
    EXPECT_FLOAT_EQ(script.steps()[0].readings.cpu, 50.0f);
    EXPECT_TRUE(std::isnan(script.steps()[1].readings.cpu));
    ASSERT_EQ(script.errors().size(), 5u);
    EXPECT_EQ(script.errors()[0], "line 2: bad word \"gpu3=1\"");
}

TEST(ReplayScript, LongNamesAreCutToTheSlot)
{
    const ReplayScript script = ReplayScript::Parse("gpu1name=" + std::string(300, 'x') + "\n");
    ASSERT_EQ(script.steps().size(), 1u);
    EXPECT_EQ(script.steps()[0].readings.gpuName[0].size(), 135u);
}
