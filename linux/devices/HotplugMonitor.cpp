#include "linux/devices/HotplugMonitor.h"

#include <cstring>
#include <unistd.h>

HotplugMonitor::HotplugMonitor()
{
    // udevd creates this at start; without it nobody sends the "udev" events we listen to.
    if (access("/run/udev/control", F_OK) != 0)
    {
        return;
    }
    m_udev.reset(udev_new());
    if (!m_udev)
    {
        return;
    }
    m_monitor.reset(udev_monitor_new_from_netlink(m_udev.get(), "udev"));
    if (m_monitor &&
        (udev_monitor_filter_add_match_subsystem_devtype(m_monitor.get(), "hidraw", nullptr) < 0 ||
         udev_monitor_filter_add_match_subsystem_devtype(m_monitor.get(), "hwmon", nullptr) < 0 ||
         udev_monitor_enable_receiving(m_monitor.get()) < 0))
    {
        m_monitor.reset();
    }
}

int HotplugMonitor::Fd() const
{
    return m_monitor ? udev_monitor_get_fd(m_monitor.get()) : -1;
}

HotplugMonitor::Events HotplugMonitor::Drain()
{
    Events events;
    while (m_monitor)
    {
        const UdevDevice device(udev_monitor_receive_device(m_monitor.get()));
        if (!device)
        {
            break;
        }
        const char* subsystem = udev_device_get_subsystem(device.get());
        const bool hwmon = subsystem && std::strcmp(subsystem, "hwmon") == 0;
        events.hwmon = events.hwmon || hwmon;
        events.hidraw = events.hidraw || !hwmon;
    }
    return events;
}
