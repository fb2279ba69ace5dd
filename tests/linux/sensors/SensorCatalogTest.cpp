#include "linux/sensors/SensorCatalog.h"
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
