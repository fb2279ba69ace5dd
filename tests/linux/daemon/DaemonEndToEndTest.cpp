#include "tests/linux/DaemonRig.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <thread>

namespace
{
// The Windows program's golden reports (the display-rule tests' examples): report 0x07, command
// 0xFF, 0xFF, three digits, zero padding to 65 bytes.
std::string Golden(int hundreds, int tens, int ones)
{
    char head[13];
    std::snprintf(head, sizeof head, "07ffff%02x%02x%02x", hundreds, tens, ones);
    return head + std::string(59 * 2, '0');
}

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    {
        ++count;
    }
    return count;
}

// A Python expression over the document kelvanectl writes (d), as Python prints it: proof that
// standard output holds one JSON document.
std::string FromJson(const DaemonRig& rig, const std::string& arguments, const std::string& expression)
{
    return rig
        .Tool(arguments + " 2>/dev/null | python3 -c 'import json,sys; d=json.load(sys.stdin); print(" +
              expression + ")'")
        .output;
}

void RyzenAt(const DaemonRig& rig, const std::string& tctl, const std::string& edge)
{
    AddRyzenWithRadeon(rig.Tree(), tctl, edge);
}

// After kelvanectl returns, at most one tick that was already under way may still carry the old
// value; the next one carries the new.
void ExpectNextTickShows(DaemonRig& rig, const std::string& arguments, const std::string& expected)
{
    const DaemonRig::ToolResult result = rig.Tool(arguments);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const std::size_t before = rig.Reports().size();
    ASSERT_TRUE(Eventually([&] { return rig.ReportsTo(0, before).size() >= 2; })) << rig.DaemonLog();
    EXPECT_EQ(rig.ReportsTo(0, before)[1], expected) << arguments;
}
} // namespace

TEST(DaemonEndToEnd, SameReadingsGiveTheWindowsProgramsBytes)
{
    DaemonRig rig("displays=1");
    RyzenAt(rig, "45600", "71200");
    rig.Start();
    ASSERT_TRUE(Eventually([&] { return !rig.ReportsTo(0).empty(); })) << rig.DaemonLog();
    EXPECT_EQ(rig.ReportsTo(0).front(), "07ffff000405" + std::string(118, '0')) << "CPU 45.6 C";

    ExpectNextTickShows(rig, "set source gpu", Golden(0, 7, 1));
    ExpectNextTickShows(rig, "set unit f", Golden(1, 5, 9)); // GPU 71.2 C is 159.8 F
    ExpectNextTickShows(rig, "set source cpu", Golden(1, 1, 3));
    rig.Tree().Write("sys/class/hwmon/hwmon2/temp1_input", "130000\n");
    ASSERT_TRUE(Eventually([&] { return rig.ReportsTo(0).back() == Golden(1, 9, 9); })) << "266 F capped";
    ExpectNextTickShows(rig, "set led off", Golden(0, 0, 0));

    const DaemonRig::ToolResult status = rig.Tool("status");
    EXPECT_EQ(status.exitCode, 0);
    EXPECT_NE(status.output.find("k10temp/Tctl"), std::string::npos) << status.output;
    EXPECT_NE(status.output.find("amdgpu/edge"), std::string::npos) << status.output;
    EXPECT_NE(status.output.find("firmware 0x0103"), std::string::npos) << status.output;
    EXPECT_NE(status.output.find("shows blank (led off)"), std::string::npos) << status.output;
    EXPECT_EQ(rig.Stop(), 0);
    EXPECT_EQ(rig.Tool("status").exitCode, 3) << "a stopped daemon leaves no live status";
}

TEST(DaemonEndToEnd, DisplaysComeAndGoWithoutErrorsPilingUp)
{
    DaemonRig rig("displays=1");
    RyzenAt(rig, "45000", "50000");
    rig.Start();
    ASSERT_TRUE(Eventually([&] { return !rig.ReportsTo(0).empty(); })) << rig.DaemonLog();

    rig.SetSimulator("displays=2; display.1.version=0x0107");
    ASSERT_TRUE(Eventually([&] { return !rig.ReportsTo(1).empty(); })) << rig.DaemonLog();
    EXPECT_EQ(rig.ReportsTo(1).back(), Golden(0, 4, 5));
    ASSERT_TRUE(
        Eventually([&] { return rig.Tool("status").output.find("2 attached") != std::string::npos; }));
    const std::string both = rig.Tool("status").output;
    EXPECT_NE(both.find("/simhidraw1  \"Cooler Display\"  firmware 0x0107"), std::string::npos) << both;
    EXPECT_NE(rig.Tool("list").output.find("/simhidraw1"), std::string::npos);

    rig.SetSimulator("displays=1");
    ASSERT_TRUE(
        Eventually([&] { return rig.Tool("status").output.find("1 attached") != std::string::npos; }));
    const std::size_t before = rig.Reports().size();
    ASSERT_TRUE(Eventually([&] { return rig.ReportsTo(0, before).size() >= 3; }));
    const std::string log = rig.DaemonLog();
    EXPECT_EQ(log.find("display removed: "), log.rfind("display removed: ")) << log;
    EXPECT_EQ(log.find("did not take"), log.rfind("did not take")) << "at most one line per failure\n" << log;
    EXPECT_TRUE(rig.ReportsTo(1, before).empty());
}

TEST(DaemonEndToEnd, ReportsFitTheLengthTheDisplayDeclares)
{
    // Report 0x07 with 63 data bytes, in the display's vendor collection.
    const std::string descriptor("\x06\x01\xff\x09\x01\xa1\x01\x85\x07\x75\x08\x95\x3f\x09\x01\xb1\x02\xc0",
                                 18);
    DaemonRig rig("displays=1");
    RyzenAt(rig, "45600", "50000");
    rig.Tree().Write("sys/class/hidraw/simhidraw0/device/report_descriptor", descriptor);
    rig.Start();
    ASSERT_TRUE(Eventually([&] { return !rig.Reports().empty(); })) << rig.DaemonLog();
    const SentReport first = rig.Reports().front();
    EXPECT_EQ(first.requested, 64);
    EXPECT_EQ(first.data, Golden(0, 4, 5).substr(0, 128)) << "what the Windows HID stack hands the display";
    ASSERT_TRUE(Eventually([&] { return rig.Tool("status").exitCode == 0; }));
    EXPECT_NE(rig.Tool("status").output.find("firmware 0x0103"), std::string::npos);
}

TEST(DaemonEndToEnd, NoDisplayAndBrokenSensorAreReportedNotFatal)
{
    DaemonRig rig("displays=0");
    AddHwmon(rig.Tree(), 0, "k10temp", {{"Tctl", "garbage"}});
    rig.Start();
    ASSERT_TRUE(Eventually([&] { return rig.Tool("status").exitCode == 0; })) << rig.DaemonLog();
    const std::string status = rig.Tool("status").output;
    EXPECT_NE(status.find("displays: none attached"), std::string::npos) << status;
    EXPECT_NE(status.find("no reading: unreadable value 'garbage'"), std::string::npos) << status;
    EXPECT_NE(status.find("shows:    0 C (cpu)"), std::string::npos) << status;
    EXPECT_NE(rig.Tool("list").output.find("no display attached"), std::string::npos);

    // A display that appears later gets what the Windows program sends without a reading.
    rig.SetSimulator("displays=1");
    ASSERT_TRUE(Eventually([&] { return !rig.ReportsTo(0).empty(); })) << rig.DaemonLog();
    EXPECT_EQ(rig.ReportsTo(0).back(), Golden(0, 0, 0));
    const std::string log = rig.DaemonLog();
    EXPECT_EQ(log.find("unreadable value"), log.rfind("unreadable value")) << "logged once\n" << log;
}

TEST(DaemonEndToEnd, ToolExitCodesAndHints)
{
    DaemonRig rig("displays=0");
    EXPECT_EQ(rig.Tool("status").exitCode, 3);
    EXPECT_EQ(rig.Tool("frobnicate").exitCode, 2);
    const DaemonRig::ToolResult bad = rig.Tool("set unit kelvin");
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.output.find("unit takes c or f"), std::string::npos) << bad.output;

    const DaemonRig::ToolResult saved = rig.Tool("set unit f");
    EXPECT_EQ(saved.exitCode, 0);
    EXPECT_NE(saved.output.find("not running"), std::string::npos) << saved.output;

    const std::string elsewhere = " --config " + rig.Tree().Path("missing/folder/kelvane.conf");
    const DaemonRig::ToolResult failed = rig.Tool("set led off" + elsewhere);
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.output.find("cannot write"), std::string::npos) << failed.output;
}

TEST(DaemonSensors, SensorCreatedAfterStartIsUsedAndOneThatGoesIsLoggedOnce)
{
    DaemonRig rig("displays=1");
    rig.Start();
    ASSERT_TRUE(Eventually([&] { return !rig.ReportsTo(0).empty(); })) << rig.DaemonLog();
    EXPECT_EQ(rig.ReportsTo(0).back(), Golden(0, 0, 0));
    std::this_thread::sleep_for(std::chrono::seconds(5)); // a driver that loads late at boot
    AddHwmon(rig.Tree(), 3, "k10temp", {{"Tctl", "45600"}});
    ASSERT_TRUE(Eventually([&] { return rig.ReportsTo(0).back() == Golden(0, 4, 5); })) << rig.DaemonLog();
    EXPECT_EQ(Count(rig.DaemonLog(), "appeared; using it"), 1u) << rig.DaemonLog();

    // The driver unloaded: sysfs answers ENODEV from then on; a plain file the daemon holds open
    // would keep its value, so it is emptied before it goes.
    rig.Tree().Write("sys/class/hwmon/hwmon3/temp1_input", "");
    ASSERT_EQ(std::system(("rm -r " + rig.Tree().Path("sys/class/hwmon/hwmon3")).c_str()), 0);
    ASSERT_TRUE(Eventually([&] { return rig.ReportsTo(0).back() == Golden(0, 0, 0); })) << rig.DaemonLog();
    const std::size_t before = rig.Reports().size();
    ASSERT_TRUE(Eventually([&] { return rig.ReportsTo(0, before).size() >= 6; })); // past a look again
    EXPECT_EQ(Count(rig.DaemonLog(), "until it is back"), 1u) << rig.DaemonLog();
    AddHwmon(rig.Tree(), 4, "k10temp", {{"Tctl", "47000"}}); // back, under another hwmon number
    ASSERT_TRUE(Eventually([&] { return rig.ReportsTo(0).back() == Golden(0, 4, 7); })) << rig.DaemonLog();
}

TEST(DaemonSensors, ChosenSensorIsNamedMissingUntilItAppears)
{
    DaemonRig rig("displays=1");
    RyzenAt(rig, "45600", "71200");
    const DaemonRig::ToolResult unknown = rig.Tool("set cpu-sensor k10temp/Tccd9");
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(Has(unknown.output, "\n  k10temp/Tccd1\n") && Has(unknown.output, "\n  amdgpu/edge\n"))
        << unknown.output;
    rig.Tree().Write("kelvane.conf", "# mine\ncpu-sensor = k10temp/Tccd2\n"); // chosen when it was there
    rig.Start();
    ASSERT_TRUE(Eventually(
        [&] { return Has(rig.Tool("status").output, "k10temp/Tccd2 (chosen): no reading: missing"); }))
        << rig.Tool("status").output;
    EXPECT_EQ(rig.ReportsTo(0).back(), Golden(0, 0, 0));
    EXPECT_EQ(FromJson(rig, "status --json", "d[\"cpu\"][\"state\"], d[\"cpu\"][\"celsius\"]"),
              "missing None\n");
    EXPECT_TRUE(Has(rig.Tool("sensors").output, "cpu-sensor: k10temp/Tccd2: missing"))
        << rig.Tool("sensors").output;

    rig.Tree().Write("sys/class/hwmon/hwmon2/temp3_label", "Tccd2\n");
    rig.Tree().Write("sys/class/hwmon/hwmon2/temp3_input", "48000\n");
    ASSERT_TRUE(Eventually([&] { return rig.ReportsTo(0).back() == Golden(0, 4, 8); })) << rig.DaemonLog();
    ExpectNextTickShows(rig, "set cpu-sensor k10temp/Tccd1", Golden(0, 4, 3));
    ExpectNextTickShows(rig, "set gpu-sensor amdgpu/junction", Golden(0, 4, 3));
    ExpectNextTickShows(rig, "set source gpu", Golden(0, 6, 1));
    ExpectNextTickShows(rig, "set cpu-sensor auto", Golden(0, 6, 1));
    ExpectNextTickShows(rig, "set source cpu", Golden(0, 4, 5));
    EXPECT_EQ(rig.Tree().Read("kelvane.conf"),
              "# mine\ncpu-sensor = auto\ngpu-sensor = amdgpu/junction\nsource = cpu\n");
}

TEST(DaemonSensors, JsonDocumentsParseWithEveryReading)
{
    DaemonRig rig("displays=1");
    EXPECT_EQ(rig.Tool("status --json").exitCode, 3);
    EXPECT_EQ(FromJson(rig, "status --json", "d[\"running\"]"), "False\n");
    RyzenAt(rig, "45600", "71200");
    rig.Start();
    ASSERT_TRUE(Eventually([&] { return Has(rig.Tool("status").output, "shows 45 C (cpu)"); }))
        << rig.DaemonLog();
    EXPECT_EQ(
        FromJson(
            rig, "status --json",
            "d[\"cpu\"][\"sensor\"], d[\"cpu\"][\"celsius\"], d[\"gpu\"][\"celsius\"], "
            "d[\"shows\"][\"value\"], d[\"displays\"][0][\"firmware\"], d[\"settings\"][\"gpu-sensor\"]"),
        "k10temp/Tctl 45.6 71.2 45 0x0103 auto\n");
    EXPECT_EQ(
        FromJson(rig, "sensors --json",
                 "[(s[\"id\"], s[\"celsius\"], s[\"in_use\"]) for s in d[\"sensors\"]][1:3], d[\"gpu\"]"),
        "[('amdgpu/edge', 71.2, ['gpu']), ('amdgpu/junction', 61, [])] "
        "{'chosen': 'auto', 'in_use': 'amdgpu/edge', 'missing': False}\n");
    EXPECT_EQ(FromJson(rig, "list --json", "d[\"displays\"][0][\"path\"].endswith(\"/simhidraw0\")"),
              "True\n");
}

TEST(DaemonSensors, JournalLinesCarryTheirPriority)
{
    DaemonRig rig("displays=0");
    AddHwmon(rig.Tree(), 0, "k10temp", {{"Tctl", "garbage"}});
    rig.AsJournal();
    rig.Start();
    ASSERT_TRUE(Eventually([&] { return Has(rig.DaemonLog(), "no display attached"); })) << rig.DaemonLog();
    std::istringstream lines(rig.DaemonLog());
    for (std::string line; std::getline(lines, line);)
    {
        EXPECT_TRUE(line.rfind("<3>", 0) == 0 || line.rfind("<4>", 0) == 0 || line.rfind("<6>", 0) == 0)
            << line;
    }
    EXPECT_TRUE(Has(rig.DaemonLog(), "<4>kelvaned: cpu: unreadable value 'garbage'")) << rig.DaemonLog();
    EXPECT_TRUE(Has(rig.DaemonLog(), "<6>kelvaned: settings: ")) << rig.DaemonLog();
}

TEST(DaemonSensors, HostileConfigsNeitherStopNorLeakControlCharacters)
{
    DaemonRig rig("displays=1");
    AddHwmon(rig.Tree(), 0, "k10temp", {{"Tctl", "45000"}});
    rig.Start();
    ASSERT_TRUE(Eventually([&] { return !rig.ReportsTo(0).empty(); })) << rig.DaemonLog();
    const std::string config = rig.Tree().Path("kelvane.conf");
    const std::string planted = rig.Tree().Path("planted");
    struct Case
    {
        std::function<void()> plant; // at "planted", renamed over the config
        const char* problem;
    };
    const std::vector<Case> cases = {
        {[&] { mkfifo(planted.c_str(), 0600); }, "it is a FIFO"},
        {[&] { (void)!symlink("/dev/zero", planted.c_str()); }, "it is a symbolic link"},
        {[&] { rig.Tree().Write("planted", std::string(65537, '#')); }, "larger than 64 KiB"},
        {[&]
         { rig.Tree().Write("planted", "unit = \x1b[2J\x1b]0;owned\x07" + std::string(60000, 'x') + "\n"); },
         "unit takes c or f, not '\\x1b[2J\\x1b]0;owned\\x07xxx"},
    };
    for (const Case& c : cases)
    {
        c.plant();
        std::rename(planted.c_str(), config.c_str());
        ASSERT_TRUE(Eventually([&] { return Has(rig.Tool("status").output, c.problem); }))
            << c.problem << "\n"
            << rig.Tool("status").output;
        const std::string status = rig.Tool("status").output + rig.Tool("status --json").output;
        EXPECT_EQ(status.find('\x1b'), std::string::npos) << status;
        EXPECT_LT(status.size(), 4000u) << "a long value is cut";
        const DaemonRig::ToolResult set = rig.Tool("set unit f");
        EXPECT_EQ(set.exitCode, Has(c.problem, "unit takes") ? 0 : 1) << set.output;
    }
    const std::size_t before = rig.Reports().size();
    ASSERT_TRUE(Eventually([&] { return rig.ReportsTo(0, before).size() >= 2; })) << "still feeding";
    EXPECT_EQ(rig.DaemonLog().find('\x1b'), std::string::npos);
}
