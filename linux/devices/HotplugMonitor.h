#pragma once

struct udev;
struct udev_monitor;

// hidraw and hwmon add/remove events from udev (displays plugged, sensor drivers loaded). Without a running
// udev daemon (containers, chroots) no events arrive, so the daemon falls back to a cheap check once per tick
// instead.
class HotplugMonitor
{
public:
    HotplugMonitor();
    ~HotplugMonitor();
    HotplugMonitor(const HotplugMonitor&) = delete;
    HotplugMonitor& operator=(const HotplugMonitor&) = delete;

    // True when events can be expected: the monitor is listening and udev runs.
    bool Active() const { return m_monitor != nullptr; }
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
    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
};
