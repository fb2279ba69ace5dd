#include "linux/sensors/ReadingsBlock.h"

#include <algorithm>
#include <cstring>

ReadingsBlock::ReadingsBlock()
{
    PutFloat(SensorSnapshot::kCpuLivenessOffset, 1.0f);
}

void ReadingsBlock::PutFloat(std::size_t offset, float value)
{
    std::memcpy(m_bytes.data() + offset, &value, sizeof value);
}

void ReadingsBlock::SetCpu(float celsius)
{
    PutFloat(SensorSnapshot::kCpuTemperatureOffset, celsius);
}

void ReadingsBlock::SetGpu(int slot, const std::string& name, float celsius)
{
    const std::size_t start =
        SensorSnapshot::kGpuSlotOffset + static_cast<std::size_t>(slot) * SensorSnapshot::kGpuSlotStride;
    std::uint8_t* field = m_bytes.data() + start;
    std::memset(field, 0, SensorSnapshot::kGpuNameSize);
    std::memcpy(field, name.data(), std::min(name.size(), SensorSnapshot::kGpuNameSize - 1));
    PutFloat(start + SensorSnapshot::kGpuTemperatureInSlot, celsius);
}
