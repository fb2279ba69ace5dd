#pragma once

#include "linux/sensors/NvmlLibrary.h"
#include "linux/sensors/TemperatureSensor.h"

#include <memory>
#include <string>
#include <vector>

// One temperature the machine publishes, under an id that stays the same across boots: the driver
// and the label ("k10temp/Tctl", "coretemp/Package id 0", "amdgpu/edge", "thermal/x86_pkg_temp",
// "nvml/0"), never the hwmonN folder, whose number changes with the order drivers load in. An
// input without a label is "driver/tempN"; an id that two devices share gets "@" and the device
// ("amdgpu/edge@0000:03:00.0"), or its place among them when the device has no name.
struct SensorCandidate
{
    std::string id;
    std::string driver; // hwmon driver, "thermal" or "nvml"
    std::string label;  // hwmon label, "tempN", thermal zone type, or the GPU's name
    std::string path;   // the value file; empty for NVML
    int device = -1;    // hwmon devices and NVML GPUs: which one, in listing order
};

// Every hwmon temperature input (by hwmon number, then tempN), every thermal zone, then every GPU
// NVML reports. sysfsRoot is "/sys" on a real machine; nvml may be null or not loaded.
std::vector<SensorCandidate> ListSensorCandidates(const std::string& sysfsRoot, const NvmlLibrary* nvml);

// A reader for one candidate; nvml must be the library the list came from for NVML candidates.
std::unique_ptr<TemperatureSensor> OpenSensor(const SensorCandidate& candidate,
                                              const std::shared_ptr<const NvmlLibrary>& nvml);

// The candidate with that id, or null.
const SensorCandidate* FindSensor(const std::vector<SensorCandidate>& candidates, const std::string& id);
