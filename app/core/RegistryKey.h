#pragma once

#include <windows.h>

// Sole owner of one open registry key; closes it when it goes.
class RegistryKey
{
public:
    RegistryKey() = default;
    explicit RegistryKey(HKEY key) : m_key(key) {}
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    HKEY Get() const { return m_key; }
    // For the Reg*Ex calls that hand back a new key; closes the one held first.
    HKEY* Receive()
    {
        Close();
        return &m_key;
    }
    void Close()
    {
        if (m_key != nullptr)
        {
            RegCloseKey(m_key);
            m_key = nullptr;
        }
    }

private:
    HKEY m_key = nullptr;
};
