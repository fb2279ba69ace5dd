#include "tests/linux/SysfsTree.h"

void AddHwmon(const ScratchFolder& tree, int number, const std::string& driver,
              const std::vector<Channel>& channels)
{
    const std::string dir = "sys/class/hwmon/hwmon" + std::to_string(number) + "/";
    tree.Write(dir + "name", driver + "\n");
    for (std::size_t i = 0; i < channels.size(); ++i)
    {
        const std::string stem = dir + "temp" + std::to_string(i + 1);
        if (!channels[i].label.empty())
        {
            tree.Write(stem + "_label", channels[i].label + "\n");
        }
        tree.Write(stem + "_input", channels[i].value + "\n");
        tree.Write(stem + "_crit", "105000\n");
    }
}

void AddThermalZone(const ScratchFolder& tree, int number, const std::string& type, const std::string& value)
{
    const std::string dir = "sys/class/thermal/thermal_zone" + std::to_string(number) + "/";
    tree.Write(dir + "type", type + "\n");
    tree.Write(dir + "temp", value + "\n");
}

void AddRyzenWithRadeon(const ScratchFolder& tree, const std::string& tctl, const std::string& edge)
{
    AddHwmon(tree, 0, "nvme", {{"Composite", "38850"}});
    AddHwmon(tree, 1, "amdgpu", {{"edge", edge}, {"junction", "61000"}, {"mem", "58000"}});
    AddHwmon(tree, 2, "k10temp", {{"Tctl", tctl}, {"Tccd1", "43500"}});
    AddThermalZone(tree, 0, "acpitz", "27800");
}

void AddIntelDesktop(const ScratchFolder& tree, const std::string& package)
{
    AddHwmon(tree, 0, "acpitz", {{"", "27800"}});
    AddHwmon(tree, 1, "coretemp", {{"Core 0", "51000"}, {"Core 1", "49000"}, {"Package id 0", package}});
    AddHwmon(tree, 2, "i915", {}); // power and energy only, no temperature
    AddThermalZone(tree, 0, "acpitz", "27800");
    AddThermalZone(tree, 1, "x86_pkg_temp", "53000");
}
