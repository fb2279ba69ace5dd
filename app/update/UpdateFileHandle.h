#pragma once

#include <windows.h>

// Sole owner of one kernel file handle opened by the update code.
class UpdateFileHandle
{
public:
    explicit UpdateFileHandle(HANDLE handle) noexcept : m_handle(handle) {}
    ~UpdateFileHandle() { Close(); }
    UpdateFileHandle(const UpdateFileHandle&) = delete;
    UpdateFileHandle& operator=(const UpdateFileHandle&) = delete;

    HANDLE Get() const noexcept { return m_handle; }
    bool IsValid() const noexcept { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }

    void Close() noexcept
    {
        if (IsValid())
            CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_handle;
};
