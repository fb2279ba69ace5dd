#pragma once

#include "app/platform/KernelHandle.h"
#include "app/device/SensorSnapshot.h"

#include <atomic>
#include <cstdint>
#include <string>

constexpr char kSnapshotName[] = "vulnor_hardware_mapfile";

// The program's read-only view of the sensor server's shared-memory block. Once a view is mapped it
// stays until this object goes (the program keeps it for the life of the process).
class SnapshotMapping
{
public:
    // Tests pass a name of their own; the program uses the sensor server's.
    explicit SnapshotMapping(std::string name = kSnapshotName);
    ~SnapshotMapping();
    SnapshotMapping(const SnapshotMapping&) = delete;
    SnapshotMapping& operator=(const SnapshotMapping&) = delete;

    // Creates or opens the block (zero-filled when created here) and maps it read-only.
    // True when a view is available; once true, further calls change nothing.
    bool OpenSnapshot();
    bool IsOpen() const { return m_view.load(std::memory_order_acquire) != nullptr; }
    // Null until OpenSnapshot has succeeded.
    const volatile std::uint8_t* View() const { return m_view.load(std::memory_order_acquire); }

private:
    std::string m_name;
    // Touched only by the thread that calls OpenSnapshot (the worker); closed after the view goes.
    KernelHandle m_mapping;
    // Written once by the worker's scan; read by the worker's tick and the window thread's watchdog.
    std::atomic<const volatile std::uint8_t*> m_view{nullptr};
};
