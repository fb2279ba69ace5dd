#include "linux/sensors/NvmlGpuSensor.h"

#include "linux/sensors/MillidegreeValue.h"

NvmlGpuSensor::NvmlGpuSensor(std::shared_ptr<const NvmlLibrary> library, unsigned index)
    : m_library(std::move(library)), m_index(index), m_name(m_library->DeviceName(index))
{
}

std::string NvmlGpuSensor::Describe() const
{
    return "nvml/" + std::to_string(m_index) + " (" + m_name + ")";
}

SensorReading NvmlGpuSensor::Read()
{
    unsigned celsius = 0;
    if (!m_library->Temperature(m_index, celsius))
    {
        SensorReading reading;
        reading.problem = "NVML gave no temperature for GPU " + std::to_string(m_index);
        return reading;
    }
    return CheckPlausible(celsius);
}
