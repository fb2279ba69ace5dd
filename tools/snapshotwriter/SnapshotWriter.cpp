// snapshotwriter [--name N] [--zero] [--cpu C] [--live L] [--gpu1 NAME C] [--gpu2 NAME C] [--hold S]
// Creates or opens the sensor snapshot and writes the given readings; fields not named on the
// command line keep their value. --hold keeps the block alive for S seconds (-1: until ended),
// since it disappears when the last process holding it exits.
#include "app/device/SnapshotMapping.h"
#include "app/device/SensorSnapshot.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{
class CWritableSnapshot
{
public:
    explicit CWritableSnapshot(const std::string& name)
    {
        m_mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                       static_cast<DWORD>(SensorSnapshot::kSize), name.c_str());
        if (m_mapping)
        {
            m_view = static_cast<unsigned char*>(
                MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, 0, SensorSnapshot::kSize));
        }
    }
    ~CWritableSnapshot()
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
    CWritableSnapshot(const CWritableSnapshot&) = delete;
    CWritableSnapshot& operator=(const CWritableSnapshot&) = delete;

    bool IsOpen() const { return m_view != nullptr; }
    void Zero() { std::memset(m_view, 0, SensorSnapshot::kSize); }
    void WriteFloat(std::size_t offset, float value) { std::memcpy(m_view + offset, &value, sizeof value); }
    void WriteName(std::size_t offset, const std::string& name)
    {
        std::memset(m_view + offset, 0, SensorSnapshot::kGpuNameSize);
        std::memcpy(m_view + offset, name.data(), std::min(name.size(), SensorSnapshot::kGpuNameSize - 1));
    }

private:
    HANDLE m_mapping = nullptr;
    unsigned char* m_view = nullptr;
};

bool ParseFloat(const char* text, float& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtof(text, &end);
    // Out-of-range input is kept as the infinity strtof gives: the reader must cope with it.
    return end != text && *end == '\0';
}

int Usage()
{
    std::fprintf(stderr, "usage: snapshotwriter [--name N] [--zero] [--cpu C] [--live L] [--gpu1 NAME C] "
                         "[--gpu2 NAME C] [--hold SECONDS]\n");
    return 2;
}
} // namespace

int main(int argc, char** argv)
{
    std::string name = kSnapshotName;
    for (int i = 1; i + 1 < argc; ++i)
    {
        if (std::strcmp(argv[i], "--name") == 0)
        {
            name = argv[i + 1];
        }
    }
    CWritableSnapshot snapshot(name);
    if (!snapshot.IsOpen())
    {
        std::fprintf(stderr, "snapshotwriter: cannot open \"%s\" (error %lu)\n", name.c_str(),
                     GetLastError());
        return 1;
    }

    double holdSeconds = 0;
    for (int i = 1; i < argc; ++i)
    {
        const std::string option = argv[i];
        const int left = argc - i - 1;
        float value = 0;
        if (option == "--zero")
        {
            snapshot.Zero();
        }
        else if (option == "--name" && left >= 1)
        {
            ++i;
        }
        else if ((option == "--cpu" || option == "--live") && left >= 1 && ParseFloat(argv[i + 1], value))
        {
            snapshot.WriteFloat(option == "--cpu" ? SensorSnapshot::kCpuTemperatureOffset
                                                  : SensorSnapshot::kCpuLivenessOffset,
                                value);
            ++i;
        }
        else if ((option == "--gpu1" || option == "--gpu2") && left >= 2 && ParseFloat(argv[i + 2], value))
        {
            const std::size_t slot =
                SensorSnapshot::kGpuSlotOffset + (option == "--gpu2" ? SensorSnapshot::kGpuSlotStride : 0);
            snapshot.WriteName(slot, argv[i + 1]);
            snapshot.WriteFloat(slot + SensorSnapshot::kGpuTemperatureInSlot, value);
            i += 2;
        }
        else if (option == "--hold" && left >= 1)
        {
            holdSeconds = std::atof(argv[++i]);
        }
        else
        {
            return Usage();
        }
    }
    std::printf("snapshotwriter: wrote \"%s\"\n", name.c_str());
    std::fflush(stdout);

    if (holdSeconds < 0)
    {
        Sleep(INFINITE);
    }
    else if (holdSeconds > 0)
    {
        Sleep(static_cast<DWORD>(holdSeconds * 1000.0));
    }
    return 0;
}
