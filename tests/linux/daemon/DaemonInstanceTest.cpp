// One daemon per instance and per display, and displays the kernel removes and adds again.
#include "tests/linux/DaemonRig.h"

#include <gtest/gtest.h>

namespace
{
void StartFed(DaemonRig& rig, const std::vector<std::string>& extra = {})
{
    AddHwmon(rig.Tree(), 0, "k10temp", {{"Tctl", "45000"}});
    rig.Start(extra);
    ASSERT_TRUE(Eventually([&] { return Has(rig.Tool("status").output, "shows 45 C (cpu)"); }))
        << rig.DaemonLog();
}
} // namespace

TEST(DaemonInstance, SecondStartRefusesAndLeavesTheFirstAlone)
{
    DaemonRig rig("displays=1");
    StartFed(rig);
    const std::string before = rig.Tree().Read("run/status");
    const std::string running = "kelvaned is already running (pid " + std::to_string(rig.Pid()) + ")";
    const DaemonRig::ToolResult second = rig.Daemon();
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_TRUE(Has(second.output, running)) << second.output;
    EXPECT_EQ(rig.Tree().Read("run/status"), before) << "the first one's status is untouched";
    EXPECT_EQ(rig.Tool("status").exitCode, 0);

    // A user daemon does not start while the service (here: the first one's folder) holds its lock.
    DaemonRig user("displays=1");
    user.ShareBusWith(rig);
    const DaemonRig::ToolResult beside = user.Daemon("--system-runtime-dir " + rig.Tree().Path("run"));
    EXPECT_EQ(beside.exitCode, 1);
    EXPECT_TRUE(Has(beside.output, running)) << beside.output;
    EXPECT_TRUE(user.Reports().empty());
}

TEST(DaemonInstance, TwoDaemonsNeverFeedOneDisplay)
{
    DaemonRig first("displays=1");
    StartFed(first);
    DaemonRig second("displays=1");
    second.ShareBusWith(first); // its own instance, the same display
    second.Start();
    ASSERT_TRUE(Eventually([&] { return Has(second.Tool("status").output, "is fed by another kelvaned"); }))
        << second.DaemonLog();
    EXPECT_TRUE(second.Reports().empty());

    EXPECT_EQ(first.Stop(), 0);
    ASSERT_TRUE(Eventually([&] { return !second.Reports().empty(); })) << "taken over\n"
                                                                       << second.DaemonLog();
    EXPECT_FALSE(Has(second.Tool("status").output, "fed by another")) << second.Tool("status").output;
}

TEST(DaemonInstance, DisplaysBackFromASuspendAreFedWithoutARestart)
{
    DaemonRig rig("displays=1");
    StartFed(rig, {"--hotplug", "udev"}); // no udev runs here, so no event says the display came back
    kill(rig.Pid(), SIGSTOP);             // asleep while the kernel removes and re-adds the display
    rig.SetSimulator("displays=1\nresumes=1");
    const std::size_t before = rig.Reports().size();
    kill(rig.Pid(), SIGCONT);
    ASSERT_TRUE(Eventually([&] { return rig.ReportsTo(0, before).size() >= 2; })) << rig.DaemonLog();
    EXPECT_TRUE(Has(rig.DaemonLog(), "reopened")) << rig.DaemonLog();
}

TEST(DaemonInstance, UserRunWithoutItsFoldersRefusesNamingTheVariable)
{
    DaemonRig rig("displays=1");
    const std::string config = " --config " + rig.Tree().Path("kelvane.conf");
    struct Case
    {
        std::string command;
        const char* named;
    };
    for (const Case& c :
         {Case{"env -u XDG_RUNTIME_DIR " KELVANED_PATH + config, "XDG_RUNTIME_DIR is not set"},
          Case{"env -u HOME -u XDG_CONFIG_HOME " KELVANED_PATH " --runtime-dir " + rig.Tree().Path("run"),
               "HOME is not set"},
          Case{"env -u XDG_RUNTIME_DIR " KELVANECTL_PATH " --user status", "XDG_RUNTIME_DIR is not set"},
          Case{"env -u HOME -u XDG_CONFIG_HOME " KELVANECTL_PATH " --user set unit f", "HOME is not set"}})
    {
        const DaemonRig::ToolResult result = rig.Run(c.command);
        EXPECT_EQ(result.exitCode, 1) << c.command;
        EXPECT_TRUE(Has(result.output, c.named)) << c.command << "\n" << result.output;
    }
    EXPECT_TRUE(rig.Reports().empty());
}
