#pragma once
#include <cstddef>

// Byte layout of the shared block the program reads. Offsets are a wire format shared with the
// program; 0x00-0x97 belong to the server, which keeps a small status record there.
namespace thermivox
{
constexpr const char* kSnapshotName = "vulnor_hardware_mapfile";
constexpr std::size_t kSnapshotSize = 0x248;
constexpr std::size_t kCpuTemperature = 0x98;
constexpr std::size_t kCpuLiveness = 0x9C;
constexpr std::size_t kGpuSlot[2] = {0xA0, 0x130};
constexpr std::size_t kGpuNameSize = 136;
constexpr std::size_t kGpuTemperatureFromSlot = 136;

// Server status record (never read by the program; useful to tests and to people).
constexpr std::size_t kStatusMagic = 0x00;    // "THRMVX1\0"
constexpr std::size_t kStatusLaunches = 0x08; // uint32, +1 at every server start
constexpr std::size_t kStatusPid = 0x0C;      // uint32, process id of the last server started
constexpr std::size_t kStatusUpdates = 0x10;  // uint32, +1 at every write of the readings
constexpr std::size_t kStatusSource = 0x14;   // uint32, see ReadingSource
constexpr std::size_t kStatusFolder = 0x18;   // char[64], name of the server's own folder
constexpr std::size_t kStatusFolderSize = 64;
constexpr std::size_t kStatusRefused = 0x58; // uint32, +1 for every copy refused as a second server

enum class ReadingSource : unsigned
{
    None = 0,
    System = 1,
    Replay = 2,
};
} // namespace thermivox
