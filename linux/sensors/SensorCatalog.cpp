#include "linux/sensors/SensorCatalog.h"

#include "linux/sensors/NvmlGpuSensor.h"
#include "linux/sensors/SysfsTemperatureSensor.h"
#include "linux/platform/DirectoryStream.h"
#include "linux/platform/TextFile.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace
{
std::string FirstLine(const std::string& path)
{
    std::string text;
    std::string error;
    if (!ReadTextFile(path, text, error))
    {
        return {};
    }
    text = text.substr(0, text.find('\n'));
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r'))
    {
        text.pop_back();
    }
    return text;
}

// Entries "<prefix><number><suffix>" of a folder, ordered by number (hwmon10 after hwmon9).
std::vector<std::pair<long, std::string>>
NumberedEntries(const std::string& folder, const std::string& prefix, const std::string& suffix)
{
    std::vector<std::pair<long, std::string>> entries;
    const DirectoryStream dir(opendir(folder.c_str()));
    if (!dir)
    {
        return entries;
    }
    while (const dirent* entry = readdir(dir.get()))
    {
        const std::string name = entry->d_name;
        if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        {
            continue;
        }
        const std::string number = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
        if (number.size() > 9 || number.find_first_not_of("0123456789") != std::string::npos)
        {
            continue;
        }
        entries.emplace_back(std::strtol(number.c_str(), nullptr, 10), name);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

// The name of the device behind a sysfs folder (its "device" link: a PCI address, "coretemp.0"),
// which stays the same across boots; empty without one.
std::string DeviceName(const std::string& folder)
{
    char target[PATH_MAX];
    const ssize_t length = readlink((folder + "/device").c_str(), target, sizeof target - 1);
    if (length <= 0)
    {
        return {};
    }
    const std::string link(target, static_cast<std::size_t>(length));
    return link.substr(link.rfind('/') + 1);
}

void AddHwmon(const std::string& sysfsRoot, std::vector<SensorCandidate>& list,
              std::vector<std::string>& devices)
{
    const std::string folder = sysfsRoot + "/class/hwmon";
    int device = 0;
    for (const auto& [number, name] : NumberedEntries(folder, "hwmon", ""))
    {
        const std::string dir = folder + "/" + name;
        std::string driver = FirstLine(dir + "/name");
        if (driver.empty())
        {
            driver = FirstLine(dir + "/device/name"); // kernels before 4.x kept it there
        }
        if (driver.empty())
        {
            continue;
        }
        for (const auto& [index, input] : NumberedEntries(dir, "temp", "_input"))
        {
            const std::string channel = "temp" + std::to_string(index);
            std::string label = FirstLine(dir + "/" + channel + "_label");
            label = label.empty() ? channel : label;
            list.push_back({driver + "/" + label, driver, label, dir + "/" + input, device});
            devices.push_back(DeviceName(dir));
        }
        ++device;
    }
}

void AddThermalZones(const std::string& sysfsRoot, std::vector<SensorCandidate>& list,
                     std::vector<std::string>& devices)
{
    const std::string thermal = sysfsRoot + "/class/thermal";
    for (const auto& [number, name] : NumberedEntries(thermal, "thermal_zone", ""))
    {
        const std::string type = FirstLine(thermal + "/" + name + "/type");
        if (!type.empty())
        {
            list.push_back({"thermal/" + type, "thermal", type, thermal + "/" + name + "/temp", -1});
            devices.push_back({});
        }
    }
}

// Ids two candidates share get the device's name, or their place among them. The lists are
// short, so plain loops do (and keep sorting code out of the resident daemon).
void MakeIdsUnique(std::vector<SensorCandidate>& list, const std::vector<std::string>& devices)
{
    const std::vector<SensorCandidate> original = list;
    for (std::size_t i = 0; i < list.size(); ++i)
    {
        std::size_t place = 0;
        std::size_t sharing = 0;
        bool named = !devices[i].empty();
        for (std::size_t j = 0; j < list.size(); ++j)
        {
            if (original[j].id != original[i].id)
            {
                continue;
            }
            ++sharing;
            place += j < i ? 1 : 0;
            named = named && (j == i || (!devices[j].empty() && devices[j] != devices[i]));
        }
        if (sharing > 1)
        {
            list[i].id += "@" + (named ? devices[i] : std::to_string(place + 1));
        }
    }
}
} // namespace

std::vector<SensorCandidate> ListSensorCandidates(const std::string& sysfsRoot, const NvmlLibrary* nvml)
{
    std::vector<SensorCandidate> list;
    std::vector<std::string> devices; // beside list, for the ids two devices share
    AddHwmon(sysfsRoot, list, devices);
    AddThermalZones(sysfsRoot, list, devices);
    MakeIdsUnique(list, devices);
    if (nvml && nvml->IsLoaded())
    {
        const unsigned count = nvml->DeviceCount();
        for (unsigned index = 0; index < count; ++index)
        {
            list.push_back({"nvml/" + std::to_string(index), "nvml", nvml->DeviceName(index), "",
                            static_cast<int>(index)});
        }
    }
    return list;
}

std::unique_ptr<TemperatureSensor> OpenSensor(const SensorCandidate& candidate,
                                              const std::shared_ptr<const NvmlLibrary>& nvml)
{
    if (candidate.driver == "nvml")
    {
        if (!nvml)
        {
            return nullptr;
        }
        return std::make_unique<NvmlGpuSensor>(nvml, static_cast<unsigned>(candidate.device));
    }
    return std::make_unique<SysfsTemperatureSensor>(candidate.id, candidate.path);
}

const SensorCandidate* FindSensor(const std::vector<SensorCandidate>& candidates, const std::string& id)
{
    const auto found = std::find_if(candidates.begin(), candidates.end(),
                                    [&](const SensorCandidate& c) { return c.id == id; });
    return found == candidates.end() ? nullptr : &*found;
}
