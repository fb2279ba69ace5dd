#include "linux/sensors/SensorDiscovery.h"

#include "linux/sensors/NvmlGpuSensor.h"
#include "linux/sensors/SysfsTemperatureSensor.h"
#include "linux/settings/TextFile.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <optional>

namespace
{
struct TemperatureInput
{
    std::string path;
    std::string label;
};

struct HwmonDevice
{
    std::string driver;
    std::vector<TemperatureInput> inputs; // in tempN order
};

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
    DIR* dir = opendir(folder.c_str());
    if (!dir)
    {
        return entries;
    }
    while (const dirent* entry = readdir(dir))
    {
        const std::string name = entry->d_name;
        if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        {
            continue;
        }
        const std::string number = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
        if (number.find_first_not_of("0123456789") != std::string::npos)
        {
            continue;
        }
        entries.emplace_back(std::strtol(number.c_str(), nullptr, 10), name);
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::vector<HwmonDevice> ListHwmon(const std::string& sysfsRoot)
{
    const std::string folder = sysfsRoot + "/class/hwmon";
    std::vector<HwmonDevice> devices;
    for (const auto& [number, name] : NumberedEntries(folder, "hwmon", ""))
    {
        const std::string dir = folder + "/" + name;
        HwmonDevice device;
        device.driver = FirstLine(dir + "/name");
        if (device.driver.empty())
        {
            device.driver = FirstLine(dir + "/device/name"); // kernels before 4.x kept it there
        }
        for (const auto& [index, input] : NumberedEntries(dir, "temp", "_input"))
        {
            const std::string stem = dir + "/temp" + std::to_string(index);
            device.inputs.push_back({dir + "/" + input, FirstLine(stem + "_label")});
        }
        devices.push_back(std::move(device));
    }
    return devices;
}

// The input with the first label found in preference order, else the first input.
std::optional<TemperatureInput> PickInput(const HwmonDevice& device,
                                          std::initializer_list<const char*> labels)
{
    for (const char* label : labels)
    {
        for (const TemperatureInput& input : device.inputs)
        {
            if (input.label == label)
            {
                return input;
            }
        }
    }
    if (device.inputs.empty())
    {
        return std::nullopt;
    }
    return device.inputs.front();
}

std::unique_ptr<TemperatureSensor> MakeSensor(const std::string& driver, const TemperatureInput& input)
{
    const std::string name = input.label.empty() ? driver : driver + " " + input.label;
    return std::make_unique<SysfsTemperatureSensor>(name, input.path);
}

std::unique_ptr<TemperatureSensor> FindCpu(const std::vector<HwmonDevice>& hwmon,
                                           const std::string& sysfsRoot)
{
    struct Preference
    {
        const char* driver;
        std::initializer_list<const char*> labels;
    };
    const Preference preferences[] = {
        {"k10temp", {"Tctl", "Tdie"}}, {"coretemp", {"Package id 0"}}, {"zenpower", {"Tctl", "Tdie"}}};
    for (const Preference& preference : preferences)
    {
        for (const HwmonDevice& device : hwmon)
        {
            if (device.driver != preference.driver)
            {
                continue;
            }
            if (const auto input = PickInput(device, preference.labels))
            {
                return MakeSensor(device.driver, *input);
            }
        }
    }
    const std::string thermal = sysfsRoot + "/class/thermal";
    for (const auto& [number, name] : NumberedEntries(thermal, "thermal_zone", ""))
    {
        const std::string type = FirstLine(thermal + "/" + name + "/type");
        if (type == "x86_pkg_temp" || type == "cpu-thermal")
        {
            return std::make_unique<SysfsTemperatureSensor>("thermal zone " + type,
                                                            thermal + "/" + name + "/temp");
        }
    }
    return nullptr;
}

void AddGpus(const std::vector<HwmonDevice>& hwmon, std::vector<std::unique_ptr<TemperatureSensor>>& gpus)
{
    struct Preference
    {
        std::initializer_list<const char*> drivers;
        std::initializer_list<const char*> labels;
    };
    const Preference preferences[] = {{{"amdgpu"}, {"edge"}}, {{"nouveau"}, {}}, {{"i915", "xe"}, {}}};
    for (const Preference& preference : preferences)
    {
        for (const HwmonDevice& device : hwmon)
        {
            const bool matches = std::any_of(preference.drivers.begin(), preference.drivers.end(),
                                             [&](const char* driver) { return device.driver == driver; });
            if (!matches)
            {
                continue;
            }
            // i915 and xe publish a temperature only on some hardware; without one they are skipped.
            if (const auto input = PickInput(device, preference.labels))
            {
                gpus.push_back(MakeSensor(device.driver, *input));
            }
        }
    }
}
} // namespace

DiscoveredSensors DiscoverSensors(const std::string& sysfsRoot,
                                  const std::shared_ptr<const NvmlLibrary>& nvml)
{
    const std::vector<HwmonDevice> hwmon = ListHwmon(sysfsRoot);
    DiscoveredSensors found;
    found.cpu = FindCpu(hwmon, sysfsRoot);
    AddGpus(hwmon, found.gpus);
    if (nvml && nvml->IsLoaded())
    {
        const unsigned count = nvml->DeviceCount();
        for (unsigned index = 0; index < count; ++index)
        {
            found.gpus.push_back(std::make_unique<NvmlGpuSensor>(nvml, index));
        }
    }
    return found;
}
