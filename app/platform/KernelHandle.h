#pragma once

#include <windows.h>

// Sole owner of one kernel object handle (event, file, thread); closes it when it goes.
// Null and INVALID_HANDLE_VALUE both count as "no handle".
class KernelHandle
{
public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE handle) : m_handle(handle) {}
    ~KernelHandle() { Close(); }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    KernelHandle(KernelHandle&& other) noexcept : m_handle(other.m_handle) { other.m_handle = nullptr; }
    KernelHandle& operator=(KernelHandle&& other) noexcept
    {
        if (this != &other)
        {
            Close();
            m_handle = other.m_handle;
            other.m_handle = nullptr;
        }
        return *this;
    }

    HANDLE Get() const { return m_handle; }
    bool IsValid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }
    void Reset(HANDLE handle = nullptr)
    {
        Close();
        m_handle = handle;
    }

private:
    void Close()
    {
        if (IsValid())
        {
            CloseHandle(m_handle);
        }
        m_handle = nullptr;
    }

    HANDLE m_handle = nullptr;
};
