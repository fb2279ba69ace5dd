#pragma once

#include "linux/sensors/SensorCatalog.h"

#include <vector>

// The automatic choice among the candidates, or null when the machine publishes none.
// CPU: k10temp (Tctl, else Tdie), coretemp (Package id 0), zenpower (Tctl, else Tdie), each else
// its first input; else the first thermal zone of type x86_pkg_temp or cpu-thermal.
const SensorCandidate* AutoCpuSensor(const std::vector<SensorCandidate>& candidates);
// GPU: amdgpu (edge), nouveau, i915/xe where they publish a temperature, then NVML's first GPU.
const SensorCandidate* AutoGpuSensor(const std::vector<SensorCandidate>& candidates);
