#include "linux/devices/HotplugMonitor.h"

#include <cstring>
#include <libudev.h>
#include <unistd.h>

HotplugMonitor::HotplugMonitor()
{
    // udevd creates this at start; without it nobody sends the "udev" events we listen to.
    if (access("/run/udev/control", F_OK) != 0)
    {
        return;
    }
    m_udev = udev_new();
    if (!m_udev)
    {
        return;
    }
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (m_monitor && (udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) < 0 ||
                      udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hwmon", nullptr) < 0 ||
                      udev_monitor_enable_receiving(m_monitor) < 0))
    {
        udev_monitor_unref(m_monitor);
        m_monitor = nullptr;
    }
}

HotplugMonitor::~HotplugMonitor()
{
    if (m_monitor)
    {
        udev_monitor_unref(m_monitor);
    }
    if (m_udev)
    {
        udev_unref(m_udev);
    }
}

int HotplugMonitor::Fd() const
{
    return m_monitor ? udev_monitor_get_fd(m_monitor) : -1;
}

HotplugMonitor::Events HotplugMonitor::Drain()
{
    Events events;
    while (m_monitor)
    {
        udev_device* device = udev_monitor_receive_device(m_monitor);
        if (!device)
        {
            break;
        }
        const char* subsystem = udev_device_get_subsystem(device);
        const bool hwmon = subsystem && std::strcmp(subsystem, "hwmon") == 0;
        events.hwmon = events.hwmon || hwmon;
        events.hidraw = events.hidraw || !hwmon;
        udev_device_unref(device);
    }
    return events;
}
