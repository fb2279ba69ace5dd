#include "tests/app/ui/SnapshotStatus.h"

#include <windows.h>

#include <cstring>

SnapshotStatus ReadSnapshotStatus()
{
    SnapshotStatus status;
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "vulnor_hardware_mapfile");
    if (!mapping)
        return status;
    const auto* view = static_cast<const unsigned char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0x248));
    if (view)
    {
        status.present = std::memcmp(view, "THRMVX1", 8) == 0;
        std::memcpy(&status.launches, view + 0x08, 4);
        std::memcpy(&status.refused, view + 0x58, 4);
        char folder[65] = {};
        std::memcpy(folder, view + 0x18, 64);
        status.folder = folder;
        std::memcpy(&status.liveness, view + 0x9C, 4);
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return status;
}
