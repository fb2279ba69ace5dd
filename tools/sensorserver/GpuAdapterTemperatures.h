#pragma once
#include "tools/sensorserver/Readings.h"

namespace thermivox
{
// GPU names and temperatures from the graphics kernel's adapter performance data
// (Windows 10 2004 and later; no driver of ours needed). Fills at most the two slots, hardware
// adapters only, in the system's adapter order; an adapter without a temperature is left out.
class GpuAdapterTemperatures
{
public:
    // Returns how many slots were filled; the rest are cleared.
    int Read(Readings& readings);
};
} // namespace thermivox
