#include "linux/sensors/NvmlLibrary.h"

namespace
{
constexpr int kSuccess = 0;
constexpr int kTemperatureGpu = 0;

template <typename Fn> Fn Symbol(void* library, const char* name)
{
    return reinterpret_cast<Fn>(dlsym(library, name));
}
} // namespace

NvmlLibrary::NvmlLibrary(const std::string& library)
{
    m_library.reset(dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL));
    if (!m_library)
    {
        return;
    }
    const auto init = Symbol<InitFn>(m_library.get(), "nvmlInit_v2");
    m_shutdown = Symbol<ShutdownFn>(m_library.get(), "nvmlShutdown");
    m_count = Symbol<CountFn>(m_library.get(), "nvmlDeviceGetCount_v2");
    m_handle = Symbol<HandleFn>(m_library.get(), "nvmlDeviceGetHandleByIndex_v2");
    m_temperature = Symbol<TemperatureFn>(m_library.get(), "nvmlDeviceGetTemperature");
    m_name = Symbol<NameFn>(m_library.get(), "nvmlDeviceGetName");
    if (init && m_shutdown && m_count && m_handle && m_temperature && m_name && init() == kSuccess)
    {
        m_initialised = true;
    }
}

NvmlLibrary::~NvmlLibrary()
{
    if (m_initialised)
    {
        m_shutdown();
    }
}

unsigned NvmlLibrary::DeviceCount() const
{
    unsigned count = 0;
    if (!m_initialised || m_count(&count) != kSuccess)
    {
        return 0;
    }
    return count;
}

bool NvmlLibrary::Handle(unsigned index, Device& device) const
{
    return m_initialised && m_handle(index, &device) == kSuccess;
}

std::string NvmlLibrary::DeviceName(unsigned index) const
{
    Device device = nullptr;
    char name[96] = {};
    if (!Handle(index, device) || m_name(device, name, sizeof name - 1) != kSuccess)
    {
        return "NVIDIA GPU " + std::to_string(index);
    }
    return name;
}

bool NvmlLibrary::Temperature(unsigned index, unsigned& celsius) const
{
    Device device = nullptr;
    return Handle(index, device) && m_temperature(device, kTemperatureGpu, &celsius) == kSuccess;
}
