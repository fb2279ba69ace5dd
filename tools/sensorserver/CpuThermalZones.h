#pragma once
#include <windows.h>
#include <pdh.h>
#include <pdhmsg.h>

namespace thermivox
{
// CPU temperature from the system's thermal-zone performance counters (ACPI thermal zones,
// reported in kelvin). Needs no kernel driver; many machines and Wine expose no zone at all.
class CpuThermalZones
{
public:
    CpuThermalZones();
    ~CpuThermalZones();
    CpuThermalZones(const CpuThermalZones&) = delete;
    CpuThermalZones& operator=(const CpuThermalZones&) = delete;

    // The hottest zone in degrees Celsius; false when no zone delivered a plausible value.
    bool Read(float& celsius);

private:
    PDH_HQUERY m_query = nullptr;
    PDH_HCOUNTER m_counter = nullptr;
};
} // namespace thermivox
