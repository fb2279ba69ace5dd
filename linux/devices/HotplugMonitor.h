#pragma once

#include "linux/devices/UdevObject.h"

// hidraw and hwmon add/remove events from udev (displays plugged, sensor drivers loaded). Without a running
// udev daemon (containers, chroots) no events arrive, so the daemon falls back to a cheap check once per tick
// instead.
class HotplugMonitor
{
public:
    HotplugMonitor();

    // True when events can be expected: the monitor is listening and udev runs.
    bool Active() const { return static_cast<bool>(m_monitor); }
    // For poll(); -1 when not active.
    int Fd() const;
    struct Events
    {
        bool hidraw = false;
        bool hwmon = false;
    };
    // Reads every pending event and tells which kinds came.
    Events Drain();

private:
    UdevContext m_udev;
    UdevMonitor m_monitor; // declared after m_udev, so dropped before it
};
