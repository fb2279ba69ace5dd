#pragma once

#include "linux/sensors/NvmlLibrary.h"
#include "linux/sensors/TemperatureSensor.h"

#include <memory>

// One NVIDIA GPU's core temperature through NVML.
class NvmlGpuSensor : public TemperatureSensor
{
public:
    NvmlGpuSensor(std::shared_ptr<const NvmlLibrary> library, unsigned index);

    std::string Describe() const override;
    SensorReading Read() override;

private:
    std::shared_ptr<const NvmlLibrary> m_library;
    unsigned m_index;
    std::string m_name;
};
