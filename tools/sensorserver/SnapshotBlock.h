#pragma once
#include "tools/sensorserver/Readings.h"
#include "tools/sensorserver/SnapshotLayout.h"

#include <windows.h>
#include <string>

namespace thermivox
{
// The server's writable view of the shared block. Owns the mapping handle and the view.
class SnapshotBlock
{
public:
    SnapshotBlock() = default;
    ~SnapshotBlock();
    SnapshotBlock(const SnapshotBlock&) = delete;
    SnapshotBlock& operator=(const SnapshotBlock&) = delete;

    // Creates the block, or opens it when the program created it first.
    bool Open();
    // Opens the block only when it exists already.
    bool OpenExisting();
    // Counted so that the program's restarts stay visible although refused copies never serve.
    void CountRefusedStart();
    void MarkStarted(const std::string& folderName);
    void Publish(const Readings& readings, ReadingSource source);

private:
    void PutFloat(std::size_t offset, float value);
    void PutUInt(std::size_t offset, unsigned value);
    unsigned GetUInt(std::size_t offset) const;
    void PutText(std::size_t offset, std::size_t size, const std::string& text);

    HANDLE m_mapping = nullptr;
    unsigned char* m_view = nullptr;
};
} // namespace thermivox
