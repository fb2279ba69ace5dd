#include "linux/status/DaemonStatus.h"

#include <gtest/gtest.h>

TEST(DaemonStatus, SurvivesTheRoundTripWithAwkwardText)
{
    DaemonStatus status;
    status.pid = 4242;
    status.cpu = {"k10temp/Tctl", "unreadable", "k10temp/Tctl (/sys/x)",
                  "no reading: value 'a\tb\nc\x1b[2J'"};
    status.gpu = {"amdgpu/edge", "ok", "amdgpu/edge (/sys/y)", "45.6 C", true, 45.6};
    status.settings.gpuSensor = "amdgpu/edge";
    status.configProblems = {"line 2: led takes on or off, not 'x'"};
    status.displays = {{"/dev/hidraw3", "Cooler\tDisplay", "0x0103", "45 C (cpu)"},
                       {"/dev/hidraw4", "", "unknown", ""}};
    const DaemonStatus back = ParseDaemonStatus(FormatDaemonStatus(status) + "future_key=1\nnonsense\n");
    EXPECT_EQ(back.pid, 4242);
    EXPECT_EQ(back.cpu.reading, "no reading: value 'a\\x09b\\x0ac\\x1b[2J'")
        << "no control character survives";
    EXPECT_FALSE(back.cpu.hasCelsius);
    EXPECT_TRUE(back.gpu.hasCelsius);
    EXPECT_EQ(back.gpu.celsius, 45.6);
    EXPECT_EQ(back.settings.gpuSensor, "amdgpu/edge");
    EXPECT_EQ(back.configProblems, status.configProblems);
    ASSERT_EQ(back.displays.size(), 2u);
    EXPECT_EQ(back.displays[0].product, "Cooler\\x09Display");
    EXPECT_EQ(back.displays[0].shows, "45 C (cpu)");
    EXPECT_EQ(back.displays[1].firmware, "unknown");
}
