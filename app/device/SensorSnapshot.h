#pragma once

#include <cstddef>
#include <cstdint>

// Read-only decoder over the sensor server's shared-memory block. It does not own the memory and
// takes no lock: the server may write at any time, so every field is read with one 4-byte load
// (names: one byte) straight from the block, and two fields may come from different updates.
class SensorSnapshot
{
public:
    static constexpr std::size_t kSize = 0x248;
    static constexpr std::size_t kCpuTemperatureOffset = 0x98;
    static constexpr std::size_t kCpuLivenessOffset = 0x9C;
    static constexpr std::size_t kGpuSlotOffset = 0xA0;
    static constexpr std::size_t kGpuSlotStride = 144;
    static constexpr std::size_t kGpuNameSize = 136;
    static constexpr std::size_t kGpuTemperatureInSlot = 136;
    static constexpr int kGpuSlots = 2;

    // block: the first of kSize bytes; must not be null.
    explicit SensorSnapshot(const volatile std::uint8_t* block) : m_block(block) {}

    float CpuTemperature() const;
    float CpuLiveness() const;
    // False only for a liveness of 0.0 or less; NaN counts as delivering.
    bool IsServerDelivering() const;

    bool IsGpuSlotNamed(int slot) const;
    float GpuSlotTemperature(int slot) const;
    // The first slot's temperature, unless only the second slot names a GPU.
    float GpuTemperature() const;

    // Whole degrees, truncated toward zero; NaN and out-of-range give -2147483648.
    std::int32_t CpuDegrees() const;
    std::int32_t GpuDegrees() const;

private:
    float ReadFloat(std::size_t offset) const;

    const volatile std::uint8_t* m_block;
};

std::int32_t TruncateTemperature(float celsius);
