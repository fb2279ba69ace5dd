#pragma once

#include <windows.h>

#include <array>
#include <cstddef>

// The device-interface notifications a window has registered for; unregisters them when it goes,
// which must happen before the window is destroyed.
class DeviceNotifications
{
public:
    static constexpr std::size_t kMaxRegistrations = 4;

    DeviceNotifications() = default;
    ~DeviceNotifications() { Clear(); }
    DeviceNotifications(const DeviceNotifications&) = delete;
    DeviceNotifications& operator=(const DeviceNotifications&) = delete;
    DeviceNotifications(DeviceNotifications&& other) noexcept;
    DeviceNotifications& operator=(DeviceNotifications&& other) noexcept;

    // Takes ownership of a handle from RegisterDeviceNotificationW; null is ignored.
    void Add(HDEVNOTIFY handle);
    std::size_t Count() const { return m_count; }
    void Clear();

private:
    std::array<HDEVNOTIFY, kMaxRegistrations> m_handles = {};
    std::size_t m_count = 0;
};

// Asks for arrival and removal notifications of USB devices, disks, HID interfaces and network
// adapters, delivered to window as WM_DEVICECHANGE. Failures are ignored: the displays are then
// found only by the scans other commands cause.
[[nodiscard]] DeviceNotifications RegisterDisplayNotifications(HWND window);
