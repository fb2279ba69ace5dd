#include "linux/daemon/DaemonOptions.h"

#include <gtest/gtest.h>

TEST(DaemonOptions, ParsesAndRefusesBadInput)
{
    const DaemonOptions options =
        ParseDaemonOptions({"--system", "--sysfs", "/tmp/sys", "--hotplug", "poll", "--status", "/s"});
    EXPECT_TRUE(options.error.empty());
    EXPECT_TRUE(options.system);
    EXPECT_EQ(options.sysfs, "/tmp/sys");
    EXPECT_EQ(options.hotplug, HotplugMode::Poll);
    EXPECT_EQ(options.status, "/s");

    EXPECT_EQ(ParseDaemonOptions({"--hotplug", "sometimes"}).error,
              "--hotplug takes auto, udev or poll, not 'sometimes'");
    EXPECT_EQ(ParseDaemonOptions({"--sysfs"}).error, "--sysfs needs a value");
    EXPECT_EQ(ParseDaemonOptions({"-x"}).error, "unknown option '-x'");
}
