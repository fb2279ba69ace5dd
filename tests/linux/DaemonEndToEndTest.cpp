#include "tests/linux/DaemonRig.h"

#include <gtest/gtest.h>

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
