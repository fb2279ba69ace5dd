#pragma once

#include "linux/platform/LoadedLibrary.h"

#include <string>

// NVIDIA's management library, loaded at run time so the program builds and runs without it.
// Holds the library open (and initialised) for its own lifetime.
class NvmlLibrary
{
public:
    // library: file name handed to dlopen; absent or unusable leaves IsLoaded() false.
    explicit NvmlLibrary(const std::string& library = "libnvidia-ml.so.1");
    ~NvmlLibrary();
    NvmlLibrary(const NvmlLibrary&) = delete;
    NvmlLibrary& operator=(const NvmlLibrary&) = delete;

    bool IsLoaded() const { return m_initialised; }
    unsigned DeviceCount() const;
    std::string DeviceName(unsigned index) const;
    // False when the GPU cannot be asked; celsius untouched then.
    bool Temperature(unsigned index, unsigned& celsius) const;

private:
    using Device = void*;
    using InitFn = int (*)();
    using ShutdownFn = int (*)();
    using CountFn = int (*)(unsigned*);
    using HandleFn = int (*)(unsigned, Device*);
    using TemperatureFn = int (*)(Device, int, unsigned*);
    using NameFn = int (*)(Device, char*, unsigned);

    bool Handle(unsigned index, Device& device) const;

    LoadedLibrary m_library;
    bool m_initialised = false;
    ShutdownFn m_shutdown = nullptr;
    CountFn m_count = nullptr;
    HandleFn m_handle = nullptr;
    TemperatureFn m_temperature = nullptr;
    NameFn m_name = nullptr;
};
