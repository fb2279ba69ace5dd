#include "tools/sensorserver/SnapshotBlock.h"

#include <cstring>

namespace thermivox
{
SnapshotBlock::~SnapshotBlock()
{
    if (m_view)
        UnmapViewOfFile(m_view);
    if (m_mapping)
        CloseHandle(m_mapping);
}

bool SnapshotBlock::Open()
{
    m_mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                   static_cast<DWORD>(kSnapshotSize), kSnapshotName);
    if (!m_mapping)
        return false;
    m_view = static_cast<unsigned char*>(MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, 0, kSnapshotSize));
    return m_view != nullptr;
}

bool SnapshotBlock::OpenExisting()
{
    m_mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, kSnapshotName);
    if (!m_mapping)
        return false;
    m_view = static_cast<unsigned char*>(MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, 0, kSnapshotSize));
    return m_view != nullptr;
}

void SnapshotBlock::CountRefusedStart()
{
    // Several refused copies may count at once.
    if (m_view)
        InterlockedIncrement(reinterpret_cast<volatile LONG*>(m_view + kStatusRefused));
}

void SnapshotBlock::MarkStarted(const std::string& folderName)
{
    if (!m_view)
        return;
    PutText(kStatusMagic, 8, "THRMVX1");
    PutUInt(kStatusLaunches, GetUInt(kStatusLaunches) + 1);
    PutUInt(kStatusPid, GetCurrentProcessId());
    PutText(kStatusFolder, kStatusFolderSize, folderName);
}

void SnapshotBlock::Publish(const Readings& readings, ReadingSource source)
{
    if (!m_view)
        return;
    for (int slot = 0; slot < 2; ++slot)
    {
        PutText(kGpuSlot[slot], kGpuNameSize, readings.gpuName[slot]);
        PutFloat(kGpuSlot[slot] + kGpuTemperatureFromSlot, readings.gpu[slot]);
    }
    PutFloat(kCpuTemperature, readings.cpu);
    // Liveness last: a reader that sees it live also sees this round's temperature.
    PutFloat(kCpuLiveness, readings.liveness);
    PutUInt(kStatusSource, static_cast<unsigned>(source));
    PutUInt(kStatusUpdates, GetUInt(kStatusUpdates) + 1);
}

void SnapshotBlock::PutFloat(std::size_t offset, float value)
{
    std::memcpy(m_view + offset, &value, sizeof value);
}

void SnapshotBlock::PutUInt(std::size_t offset, unsigned value)
{
    std::memcpy(m_view + offset, &value, sizeof value);
}

unsigned SnapshotBlock::GetUInt(std::size_t offset) const
{
    unsigned value = 0;
    std::memcpy(&value, m_view + offset, sizeof value);
    return value;
}

void SnapshotBlock::PutText(std::size_t offset, std::size_t size, const std::string& text)
{
    const std::size_t length = text.size() < size - 1 ? text.size() : size - 1;
    std::memset(m_view + offset, 0, size);
    std::memcpy(m_view + offset, text.data(), length);
}
} // namespace thermivox
