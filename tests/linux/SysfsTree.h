#pragma once

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

// A throw-away folder for one test: fake sysfs trees shaped like the kernel drivers' own, config
// and status files. Removed with everything in it when the test ends.
class ScratchFolder
{
public:
    ScratchFolder()
    {
        char pattern[] = "/tmp/kelvane-test-XXXXXX";
        m_root = mkdtemp(pattern);
    }
    // Best effort: a folder left behind in /tmp fails no test.
    ~ScratchFolder() { static_cast<void>(std::system(("rm -rf '" + m_root + "'").c_str()) == 0); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Root() const { return m_root; }
    std::string Path(const std::string& relative) const { return m_root + "/" + relative; }

    // Writes relative (making its folders) with text; the kernel ends its values with a line end.
    void Write(const std::string& relative, const std::string& text) const
    {
        const std::string path = Path(relative);
        for (std::size_t slash = m_root.size() + 1; (slash = path.find('/', slash)) != std::string::npos;
             ++slash)
        {
            mkdir(path.substr(0, slash).c_str(), 0755);
        }
        std::ofstream(path) << text;
    }

private:
    std::string m_root;
};

// One temperature channel of an hwmon device: label ("" for none) and value file contents.
struct Channel
{
    std::string label;
    std::string value; // millidegrees as the kernel writes them, or anything a broken driver might
};

// Adds sys/class/hwmon/hwmon<number> for driver with channels temp1, temp2, ...
inline void AddHwmon(const ScratchFolder& tree, int number, const std::string& driver,
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

inline void AddThermalZone(const ScratchFolder& tree, int number, const std::string& type,
                           const std::string& value)
{
    const std::string dir = "sys/class/thermal/thermal_zone" + std::to_string(number) + "/";
    tree.Write(dir + "type", type + "\n");
    tree.Write(dir + "temp", value + "\n");
}

// The machines the tests use, as their drivers publish them.
inline void AddRyzenWithRadeon(const ScratchFolder& tree, const std::string& tctl, const std::string& edge)
{
    AddHwmon(tree, 0, "nvme", {{"Composite", "38850"}});
    AddHwmon(tree, 1, "amdgpu", {{"edge", edge}, {"junction", "61000"}, {"mem", "58000"}});
    AddHwmon(tree, 2, "k10temp", {{"Tctl", tctl}, {"Tccd1", "43500"}});
    AddThermalZone(tree, 0, "acpitz", "27800");
}

inline void AddIntelDesktop(const ScratchFolder& tree, const std::string& package)
{
    AddHwmon(tree, 0, "acpitz", {{"", "27800"}});
    AddHwmon(tree, 1, "coretemp", {{"Core 0", "51000"}, {"Core 1", "49000"}, {"Package id 0", package}});
    AddHwmon(tree, 2, "i915", {}); // power and energy only, no temperature
    AddThermalZone(tree, 0, "acpitz", "27800");
    AddThermalZone(tree, 1, "x86_pkg_temp", "53000");
}
