#pragma once

#include "app/device/SensorSnapshot.h"

#include <array>
#include <cstdint>
#include <string>

// The readings laid out as the sensor server's block, so the Linux edition reaches the display
// through the very same snapshot decoder and report rules as the Windows program (the GPU slot
// choice, truncation, conversion, the cap). A missing reading stays 0.0, which the rules treat as
// "no reading".
class ReadingsBlock
{
public:
    ReadingsBlock();

    void SetCpu(float celsius);
    // slot 0 or 1; an empty name leaves the slot marked as holding no GPU.
    void SetGpu(int slot, const std::string& name, float celsius);

    SensorSnapshot Snapshot() const { return SensorSnapshot(m_bytes.data()); }

private:
    void PutFloat(std::size_t offset, float value);

    std::array<std::uint8_t, SensorSnapshot::kSize> m_bytes{};
};
