#pragma once

#include <windows.h>
#include <wininet.h>

// Sole owner of one WinINet handle (session or request).
class InternetHandle
{
public:
    explicit InternetHandle(HINTERNET handle) noexcept : m_handle(handle) {}
    ~InternetHandle() { reset(); }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;

    HINTERNET get() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return m_handle != nullptr; }
    void reset(HINTERNET handle = nullptr) noexcept
    {
        if (m_handle != nullptr)
            InternetCloseHandle(m_handle);
        m_handle = handle;
    }

private:
    HINTERNET m_handle;
};
