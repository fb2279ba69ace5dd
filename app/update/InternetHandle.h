#pragma once

#include <windows.h>
#include <wininet.h>

// Sole owner of one WinINet handle (session or request).
class InternetHandle
{
public:
    explicit InternetHandle(HINTERNET handle) noexcept : m_handle(handle) {}
    ~InternetHandle()
    {
        if (m_handle != nullptr)
            InternetCloseHandle(m_handle);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;

    HINTERNET Get() const noexcept { return m_handle; }
    bool IsValid() const noexcept { return m_handle != nullptr; }

private:
    HINTERNET m_handle;
};
