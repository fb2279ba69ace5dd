#include "linux/daemon/DaemonOptions.h"
#include "linux/settings/DisplaySettingsText.h"
#include "linux/settings/InstancePaths.h"
#include "linux/status/DaemonStatus.h"
#include "linux/tool/ToolCommandLine.h"

#include <gtest/gtest.h>

namespace
{
bool SameSettings(const DisplaySettings& a, const DisplaySettings& b)
{
    return a.ledSwitch == b.ledSwitch && a.deviceType == b.deviceType && a.tempeType == b.tempeType;
}
} // namespace

TEST(SettingsText, ValuesMapOntoTheWindowsProgramsIntegers)
{
    const SettingsParseResult parsed = ParseSettingsText("led = off\nsource=GPU\n  unit =  f  # comment\n");
    EXPECT_TRUE(parsed.problems.empty());
    EXPECT_TRUE(SameSettings(parsed.settings.display, DisplaySettings{2, 1, 1}));
    EXPECT_TRUE(SameSettings(ParseSettingsText("").settings.display, DisplaySettings{1, 0, 0})) << "defaults";
}

TEST(SettingsText, BadLinesKeepTheDefaultAndAreReportedByNumber)
{
    const SettingsParseResult parsed =
        ParseSettingsText("unit = f\nled = maybe\nbrightness = 3\njust words\nsource = cpu\n");
    EXPECT_TRUE(SameSettings(parsed.settings.display, DisplaySettings{1, 0, 1}));
    ASSERT_EQ(parsed.problems.size(), 3u);
    EXPECT_EQ(parsed.problems[0], "line 2: led takes on or off, not 'maybe'");
    EXPECT_EQ(parsed.problems[1],
              "line 3: unknown setting 'brightness' (known: led, source, unit, cpu-sensor, gpu-sensor)");
    EXPECT_EQ(parsed.problems[2], "line 4: expected key = value");

    const std::string binary("\x01\xff=\x00zz", 6);
    EXPECT_FALSE(ParseSettingsText(binary).problems.empty());
}

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

TEST(ToolCommandLine, AcceptsTheCommandsAndOptions)
{
    ToolCommandLine line = ParseToolCommandLine({"--user", "set", "unit", "f"});
    EXPECT_TRUE(line.error.empty());
    EXPECT_EQ(line.command, ToolCommandLine::Command::Set);
    EXPECT_TRUE(line.user);
    EXPECT_EQ(line.key, "unit");
    EXPECT_EQ(line.value, "f");

    line = ParseToolCommandLine({"status", "--config", "/x.conf", "--status", "/y"});
    EXPECT_EQ(line.command, ToolCommandLine::Command::Status);
    EXPECT_EQ(line.config, "/x.conf");
    EXPECT_EQ(line.status, "/y");
    EXPECT_EQ(ParseToolCommandLine({"list"}).command, ToolCommandLine::Command::List);
    EXPECT_EQ(ParseToolCommandLine({"status", "--help"}).command, ToolCommandLine::Command::Help);
}

TEST(ToolCommandLine, BadInputSaysWhatIsWrong)
{
    struct Case
    {
        std::vector<std::string> arguments;
        const char* error;
    };
    for (const Case& c : {Case{{}, "no command given"}, Case{{"start"}, "unknown command 'start'"},
                          Case{{"--verbose", "status"}, "unknown option '--verbose'"},
                          Case{{"status", "now"}, "status takes no arguments"},
                          Case{{"set", "unit"}, "set takes a setting and a value"},
                          Case{{"set", "unit", "k"}, "unit takes c or f, not 'k'"},
                          Case{{"set", "led", "on", "now"}, "set takes a setting and a value"},
                          Case{{"set", "colour", "red"}, "unknown setting 'colour'"},
                          Case{{"status", "--config"}, "--config needs a file name"},
                          Case{{"status", "--status", ""}, "--status needs a file name"}})
    {
        const ToolCommandLine line = ParseToolCommandLine(c.arguments);
        EXPECT_NE(line.error.find(c.error), std::string::npos) << "got '" << line.error << "'";
    }
}

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
