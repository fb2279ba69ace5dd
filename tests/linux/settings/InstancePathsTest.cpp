#include "linux/settings/InstancePaths.h"

#include <gtest/gtest.h>

TEST(InstancePaths, UserRunFollowsXdgAndIgnoresRelativeValues)
{
    const InstancePaths set = UserInstancePaths("/home/a/cfg", "/home/a", "/run/user/1000");
    EXPECT_EQ(set.config, "/home/a/cfg/kelvane.conf");
    EXPECT_EQ(set.status, "/run/user/1000/kelvane/status");
    EXPECT_EQ(set.lock, "/run/user/1000/kelvane/lock");
    EXPECT_EQ(set.serviceLock, "/run/kelvane/lock");
    const InstancePaths relative = UserInstancePaths("relative", "/home/a", "run/user/1000");
    EXPECT_EQ(relative.config, "/home/a/.config/kelvane.conf");
    EXPECT_EQ(SystemInstancePaths().config, "/etc/kelvane.conf");
    EXPECT_EQ(SystemInstancePaths().lock, "/run/kelvane/lock");
}

TEST(InstancePaths, UserRunWithoutItsFoldersRefusesNamingTheVariable)
{
    // Never a shared folder such as /tmp instead.
    const InstancePaths unset = UserInstancePaths("", "relative", "");
    EXPECT_TRUE(unset.config.empty());
    EXPECT_TRUE(unset.status.empty());
    EXPECT_NE(unset.configProblem.find("HOME is not set"), std::string::npos);
    EXPECT_NE(unset.runtimeProblem.find("XDG_RUNTIME_DIR is not set"), std::string::npos);

    InstancePaths given = unset;
    OverrideInstancePaths(given, "/c/k.conf", "/r", "");
    EXPECT_EQ(given.config, "/c/k.conf");
    EXPECT_EQ(given.status, "/r/status");
    EXPECT_TRUE(given.configProblem.empty() && given.runtimeProblem.empty());
}
