#include "app/device/SensorSnapshot.h"

#include "app/device/TruncateToInt32.h"

#include <cstring>

std::int32_t TruncateTemperature(float celsius)
{
    return TruncateToInt32(static_cast<double>(celsius));
}

float SensorSnapshot::ReadFloat(std::size_t offset) const
{
    // One aligned 4-byte load; the server may be writing the block at the same time.
    const std::uint32_t bits = *reinterpret_cast<const volatile std::uint32_t*>(m_block + offset);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

float SensorSnapshot::CpuTemperature() const
{
    return ReadFloat(kCpuTemperatureOffset);
}

float SensorSnapshot::CpuLiveness() const
{
    return ReadFloat(kCpuLivenessOffset);
}

bool SensorSnapshot::IsServerDelivering() const
{
    return !(CpuLiveness() <= 0.0f);
}

bool SensorSnapshot::IsGpuSlotNamed(int slot) const
{
    return m_block[kGpuSlotOffset + static_cast<std::size_t>(slot) * kGpuSlotStride] != 0;
}

float SensorSnapshot::GpuSlotTemperature(int slot) const
{
    return ReadFloat(kGpuSlotOffset + static_cast<std::size_t>(slot) * kGpuSlotStride +
                     kGpuTemperatureInSlot);
}

float SensorSnapshot::GpuTemperature() const
{
    if (!IsGpuSlotNamed(0) && IsGpuSlotNamed(1))
    {
        return GpuSlotTemperature(1);
    }
    return GpuSlotTemperature(0);
}

std::int32_t SensorSnapshot::CpuDegrees() const
{
    return TruncateTemperature(CpuTemperature());
}

std::int32_t SensorSnapshot::GpuDegrees() const
{
    return TruncateTemperature(GpuTemperature());
}
