#pragma once

#include <windows.h>

// Sole owner of one open registry key; closes it when it goes.
class RegistryKey
{
public:
    RegistryKey() = default;
    explicit RegistryKey(HKEY key) : m_key(key) {}
    ~RegistryKey() { reset(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    HKEY get() const { return m_key; }
    // For the Reg*Ex calls that hand back a new key; closes the one held first.
    HKEY* put()
    {
        reset();
        return &m_key;
    }
    void reset()
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
