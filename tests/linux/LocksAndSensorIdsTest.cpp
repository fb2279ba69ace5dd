#include "linux/daemon/InstanceLock.h"
#include "linux/devices/NodeLock.h"
#include "linux/sensors/SensorCatalog.h"
#include "linux/tool/ToolCommandLine.h"
#include "tests/linux/SysfsTree.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace
{
std::vector<std::string> Ids(const ScratchFolder& tree)
{
    std::vector<std::string> ids;
    for (const SensorCandidate& candidate : ListSensorCandidates(tree.Path("sys"), nullptr))
    {
        ids.push_back(candidate.id);
    }
    return ids;
}
} // namespace

TEST(InstanceLock, SecondTakerIsToldTheHoldersPid)
{
    ScratchFolder tree;
    const std::string path = tree.Path("lock");
    long holder = -1;
    EXPECT_FALSE(InstanceLock::IsHeld(path, holder)) << "no file yet";
    std::string error;
    {
        InstanceLock first;
        ASSERT_EQ(first.Take(path, error), InstanceLock::Outcome::Held) << error;
        InstanceLock second;
        EXPECT_EQ(second.Take(path, error), InstanceLock::Outcome::Busy);
        EXPECT_EQ(second.HolderPid(), getpid());
        EXPECT_TRUE(InstanceLock::IsHeld(path, holder));
        EXPECT_EQ(holder, getpid());
    }
    EXPECT_FALSE(InstanceLock::IsHeld(path, holder)) << "let go with its holder";
    (void)!symlink(tree.Path("elsewhere").c_str(), tree.Path("planted").c_str());
    InstanceLock linked;
    EXPECT_EQ(linked.Take(tree.Path("planted"), error), InstanceLock::Outcome::Failed);
}

TEST(InstanceLock, RuntimeFolderMustBeOwnedAndPrivate)
{
    ScratchFolder tree;
    std::string error;
    EXPECT_TRUE(PrepareRuntimeFolder(tree.Path("run"), 0700, error)) << error;
    EXPECT_TRUE(PrepareRuntimeFolder(tree.Path("run"), 0700, error)) << "already there";
    (void)!symlink(tree.Path("run").c_str(), tree.Path("link").c_str());
    EXPECT_FALSE(PrepareRuntimeFolder(tree.Path("link"), 0700, error));
    EXPECT_NE(error.find("not a folder"), std::string::npos) << error;
    chmod(tree.Path("run").c_str(), 0770);
    EXPECT_FALSE(PrepareRuntimeFolder(tree.Path("run"), 0700, error));
    EXPECT_NE(error.find("written by other users"), std::string::npos) << error;
    chmod(tree.Path("run").c_str(), 0700);
    if (chown(tree.Path("run").c_str(), getuid() + 1000, static_cast<gid_t>(-1)) == 0)
    {
        EXPECT_FALSE(PrepareRuntimeFolder(tree.Path("run"), 0700, error));
        EXPECT_NE(error.find("belongs to uid"), std::string::npos) << error;
    }
}

TEST(NodeLock, OneFeederPerNodeAndAReplacedNodeIsSeen)
{
    ScratchFolder tree;
    const std::string node = tree.Path("hidraw0");
    tree.Write("hidraw0", "");
    NodeLock first;
    NodeLock second;
    ASSERT_EQ(first.Take(node), NodeLock::Outcome::Locked);
    EXPECT_EQ(second.Take(node), NodeLock::Outcome::Busy);
    EXPECT_FALSE(first.Replaced(node));
    unlink(node.c_str());
    tree.Write("hidraw0", ""); // removed and added again by the kernel
    EXPECT_TRUE(first.Replaced(node));
    EXPECT_EQ(second.Take(node), NodeLock::Outcome::Locked) << "the new node is not locked yet";
    EXPECT_EQ(NodeLock().Take(tree.Path("gone")), NodeLock::Outcome::Failed);
}

TEST(SensorCatalog, IdsAreDriverAndLabelNeverTheHwmonNumber)
{
    ScratchFolder tree;
    AddRyzenWithRadeon(tree, "45600", "52000");
    AddHwmon(tree, 7, "nouveau", {{"", "60000"}});
    AddThermalZone(tree, 1, "x86_pkg_temp", "53000");
    EXPECT_EQ(Ids(tree), (std::vector<std::string>{
                             "nvme/Composite", "amdgpu/edge", "amdgpu/junction", "amdgpu/mem", "k10temp/Tctl",
                             "k10temp/Tccd1", "nouveau/temp1", "thermal/acpitz", "thermal/x86_pkg_temp"}));
}

TEST(SensorCatalog, IdsTwoDevicesShareNameTheDevice)
{
    ScratchFolder tree;
    AddHwmon(tree, 3, "amdgpu", {{"edge", "50000"}});
    AddHwmon(tree, 4, "amdgpu", {{"edge", "51000"}});
    AddThermalZone(tree, 0, "acpitz", "27800");
    AddThermalZone(tree, 1, "acpitz", "29800");
    EXPECT_EQ(Ids(tree), (std::vector<std::string>{"amdgpu/edge@1", "amdgpu/edge@2", "thermal/acpitz@1",
                                                   "thermal/acpitz@2"}))
        << "without a device link: their place";
    (void)!symlink("../../devices/pci0000:00/0000:03:00.0",
                   tree.Path("sys/class/hwmon/hwmon3/device").c_str());
    (void)!symlink("../../devices/pci0000:00/0000:0a:00.0",
                   tree.Path("sys/class/hwmon/hwmon4/device").c_str());
    EXPECT_EQ(Ids(tree)[1], "amdgpu/edge@0000:0a:00.0");
}

TEST(ToolCommandLine, SensorsJsonAndSensorChoice)
{
    ToolCommandLine line = ParseToolCommandLine({"--json", "sensors", "--sysfs", "/tmp/sys"});
    EXPECT_EQ(line.command, ToolCommandLine::Command::Sensors);
    EXPECT_TRUE(line.json);
    EXPECT_EQ(line.sysfs, "/tmp/sys");
    line = ParseToolCommandLine({"set", "cpu-sensor", "coretemp/Package", "id", "0"});
    EXPECT_TRUE(line.error.empty()) << line.error;
    EXPECT_EQ(line.value, "coretemp/Package id 0") << "an id typed without quotes";
    EXPECT_NE(ParseToolCommandLine({"set", "unit", "f", "c"}).error.find("set takes"), std::string::npos);
    EXPECT_NE(ParseToolCommandLine({"set", "unit", "f", "--json"}).error.find("--json goes with"),
              std::string::npos);
    EXPECT_NE(ParseToolCommandLine({"status", "--sysfs"}).error.find("--sysfs needs a folder"),
              std::string::npos);
}
