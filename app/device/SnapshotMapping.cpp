#include "app/device/SnapshotMapping.h"

#include <windows.h>

#include <utility>

SnapshotMapping::SnapshotMapping(std::string name) : m_name(std::move(name)) {}

SnapshotMapping::~SnapshotMapping()
{
    if (const volatile std::uint8_t* view = m_view.exchange(nullptr))
    {
        UnmapViewOfFile(const_cast<const std::uint8_t*>(view));
    }
}

bool SnapshotMapping::OpenSnapshot()
{
    if (IsOpen())
    {
        return true;
    }
    if (!m_mapping)
    {
        // Creates the block zero-filled, or opens the one the sensor server created first.
        m_mapping.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                           static_cast<DWORD>(SensorSnapshot::kSize), m_name.c_str()));
        if (!m_mapping)
        {
            return false;
        }
    }
    void* view = MapViewOfFile(m_mapping.get(), FILE_MAP_READ, 0, 0, SensorSnapshot::kSize);
    if (!view)
    {
        return false;
    }
    m_view.store(static_cast<const volatile std::uint8_t*>(view), std::memory_order_release);
    return true;
}
