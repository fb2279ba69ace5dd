#pragma once

// hidapi's process-wide state: initialised for this object's lifetime.
class HidLibrary
{
public:
    HidLibrary();
    ~HidLibrary();
    HidLibrary(const HidLibrary&) = delete;
    HidLibrary& operator=(const HidLibrary&) = delete;

    // hidapi retries a failed initialisation on the next enumerate or open.
    bool Initialised() const { return m_initialised; }

private:
    bool m_initialised = false;
};
