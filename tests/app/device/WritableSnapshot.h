#pragma once

#include "app/device/SensorSnapshot.h"

#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>

// The sensor server's side of the snapshot, for tests: creates or opens the block writable.
class WritableSnapshot
{
public:
    explicit WritableSnapshot(const std::string& name)
    {
        m_mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                       static_cast<DWORD>(SensorSnapshot::kSize), name.c_str());
        if (m_mapping)
        {
            m_view = static_cast<unsigned char*>(
                MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, 0, SensorSnapshot::kSize));
        }
    }
    ~WritableSnapshot()
    {
        if (m_view)
        {
            UnmapViewOfFile(m_view);
        }
        if (m_mapping)
        {
            CloseHandle(m_mapping);
        }
    }
    WritableSnapshot(const WritableSnapshot&) = delete;
    WritableSnapshot& operator=(const WritableSnapshot&) = delete;

    bool IsOpen() const { return m_view != nullptr; }
    void Float(std::size_t offset, float value) { std::memcpy(m_view + offset, &value, sizeof value); }
    void Name(std::size_t offset, const char* name)
    {
        std::memcpy(m_view + offset, name, std::strlen(name) + 1);
    }

private:
    HANDLE m_mapping = nullptr;
    unsigned char* m_view = nullptr;
};

// A block name no other test process uses.
inline std::string UniqueSnapshotName()
{
    static std::atomic<int> counter{0};
    return "tk_test_snapshot_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
}
