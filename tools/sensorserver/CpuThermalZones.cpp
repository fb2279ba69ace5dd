#include "tools/sensorserver/CpuThermalZones.h"

#include <vector>

namespace thermivox
{
CpuThermalZones::CpuThermalZones()
{
    if (PdhOpenQueryW(nullptr, 0, &m_query) != ERROR_SUCCESS)
    {
        m_query = nullptr;
        return;
    }
    if (PdhAddEnglishCounterW(m_query, L"\\Thermal Zone Information(*)\\Temperature", 0, &m_counter) !=
        ERROR_SUCCESS)
        m_counter = nullptr;
}

CpuThermalZones::~CpuThermalZones()
{
    if (m_query)
        PdhCloseQuery(m_query);
}

bool CpuThermalZones::Read(float& celsius)
{
    if (!m_counter || PdhCollectQueryData(m_query) != ERROR_SUCCESS)
        return false;
    DWORD bytes = 0;
    DWORD count = 0;
    if (PdhGetFormattedCounterArrayW(m_counter, PDH_FMT_DOUBLE, &bytes, &count, nullptr) !=
            static_cast<PDH_STATUS>(PDH_MORE_DATA) ||
        bytes == 0)
        return false;
    std::vector<unsigned char> buffer(bytes);
    auto* items = reinterpret_cast<PDH_FMT_COUNTERVALUE_ITEM_W*>(buffer.data());
    if (PdhGetFormattedCounterArrayW(m_counter, PDH_FMT_DOUBLE, &bytes, &count, items) != ERROR_SUCCESS)
        return false;
    bool found = false;
    double hottest = 0.0;
    for (DWORD i = 0; i < count; ++i)
    {
        if (items[i].FmtValue.CStatus != ERROR_SUCCESS)
            continue;
        const double c = items[i].FmtValue.doubleValue - 273.15;
        // Zones that report 0 K or absurd values are firmware placeholders, not readings.
        if (c < -40.0 || c > 150.0)
            continue;
        if (!found || c > hottest)
            hottest = c;
        found = true;
    }
    if (found)
        celsius = static_cast<float>(hottest);
    return found;
}
} // namespace thermivox
