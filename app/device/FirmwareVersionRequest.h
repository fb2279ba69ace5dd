#pragma once

#include "app/platform/KernelHandle.h"

#include <windows.h>

#include <atomic>

// One thread's wait for the display worker to read the display's firmware version. The asking
// thread and the worker share it (shared_ptr), so an asker that gave up leaves the worker nothing
// dangling to answer.
class FirmwareVersionRequest
{
public:
    FirmwareVersionRequest() : m_answered(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

    bool IsValid() const { return static_cast<bool>(m_answered); }

    // Worker thread, once: read tells whether the display answered; version is its value then.
    void Answer(bool read, int version);

    // Asking thread: waits up to ms, or until cancel (may be null) is signalled. True with the
    // version only when the worker read it in time; version is left alone otherwise.
    bool Wait(DWORD ms, HANDLE cancel, int& version) const;

private:
    KernelHandle m_answered;         // asker creates; worker sets it after writing the fields below
    std::atomic<bool> m_read{false}; // worker writes, asker reads after m_answered
    std::atomic<int> m_version{-1};  // likewise
};
