#include "app/device/DeviceNotifications.h"

#include <dbt.h>

#include <utility>

namespace
{
// USB device, disk, HID, network adapter: the published interface class GUIDs, in this order.
constexpr GUID kInterfaceClasses[] = {
    {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}},
    {0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}},
    {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}},
    {0xAD498944, 0x762F, 0x11D0, {0x8D, 0xCB, 0x00, 0xC0, 0x4F, 0xC3, 0x35, 0x8C}},
};
static_assert(std::size(kInterfaceClasses) == DeviceNotifications::kMaxRegistrations);
static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) == 32);
} // namespace

DeviceNotifications::DeviceNotifications(DeviceNotifications&& other) noexcept
    : m_handles(other.m_handles), m_count(other.m_count)
{
    other.m_handles = {};
    other.m_count = 0;
}

DeviceNotifications& DeviceNotifications::operator=(DeviceNotifications&& other) noexcept
{
    if (this != &other)
    {
        Clear();
        m_handles = std::exchange(other.m_handles, {});
        m_count = std::exchange(other.m_count, 0);
    }
    return *this;
}

void DeviceNotifications::Add(HDEVNOTIFY handle)
{
    if (handle != nullptr && m_count < m_handles.size())
    {
        m_handles[m_count++] = handle;
    }
}

void DeviceNotifications::Clear()
{
    for (std::size_t i = 0; i < m_count; ++i)
    {
        UnregisterDeviceNotification(m_handles[i]);
        m_handles[i] = nullptr;
    }
    m_count = 0;
}

DeviceNotifications RegisterDisplayNotifications(HWND window)
{
    DeviceNotifications registered;
    for (const GUID& interfaceClass : kInterfaceClasses)
    {
        DEV_BROADCAST_DEVICEINTERFACE_W filter = {};
        filter.dbcc_size = sizeof(filter);
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        filter.dbcc_classguid = interfaceClass;
        registered.Add(RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE));
    }
    return registered;
}
