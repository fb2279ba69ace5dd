#pragma once

#include "linux/sensors/NvmlLibrary.h"
#include "linux/sensors/TemperatureSensor.h"

#include <memory>
#include <string>
#include <vector>

struct DiscoveredSensors
{
    std::unique_ptr<TemperatureSensor> cpu; // null when the machine publishes none
    // In order of preference; the first two fill the two GPU slots the display rule chooses from.
    std::vector<std::unique_ptr<TemperatureSensor>> gpus;
};

// CPU: k10temp (Tctl, else Tdie), coretemp (Package id 0), zenpower, else the first thermal zone
// of type x86_pkg_temp or cpu-thermal. GPU: amdgpu (edge), nouveau, i915/xe where they publish a
// temperature, then every GPU NVML reports. sysfsRoot is "/sys" on a real machine; nvml may be
// null or not loaded.
DiscoveredSensors DiscoverSensors(const std::string& sysfsRoot,
                                  const std::shared_ptr<const NvmlLibrary>& nvml);
