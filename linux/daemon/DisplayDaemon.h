#pragma once

#include "app/device/DisplayReport.h"
#include "app/device/SensorSnapshot.h"
#include "linux/daemon/DaemonOptions.h"
#include "linux/daemon/ServiceNotifier.h"
#include "linux/devices/AttachedDisplays.h"
#include "linux/devices/HidLibrary.h"
#include "linux/devices/HotplugMonitor.h"
#include "linux/sensors/SensorDiscovery.h"
#include "linux/settings/ConfigFileMonitor.h"
#include "linux/settings/FileChangeWatch.h"
#include "linux/settings/InstancePaths.h"
#include "linux/status/DaemonStatus.h"

#include <chrono>
#include <csignal>
#include <memory>
#include <ostream>
#include <string>

// The display link: once a second, the chosen reading to every attached display. Single-threaded:
// between ticks it sleeps in poll() on the udev monitor, so it wakes once a second and on hot-plug.
class DisplayDaemon
{
public:
    DisplayDaemon(const DaemonOptions& options, InstancePaths paths, std::ostream& log);
    ~DisplayDaemon();
    DisplayDaemon(const DisplayDaemon&) = delete;
    DisplayDaemon& operator=(const DisplayDaemon&) = delete;

    // Runs until stop becomes non-zero (set from a signal handler); rediscover asks for a fresh
    // sensor discovery (SIGHUP). Returns the process exit code.
    int Run(const volatile std::sig_atomic_t& stop, volatile std::sig_atomic_t& rediscover);

private:
    using Clock = std::chrono::steady_clock;

    // One sensor's last reading and its words for the status, rebuilt only when it changes.
    struct SensorSlot
    {
        bool read = false;
        bool valid = false;
        float celsius = 0.0f;
        std::string problem;
        std::string shown;
    };

    void Log(const std::string& line);
    void Discover();
    void ReloadSettings();
    void Tick();
    void WaitUntil(Clock::time_point deadline, const volatile std::sig_atomic_t& stop);
    void PublishStatus();
    // Reads one sensor; a changed problem is logged once. Returns 0.0 for "no reading".
    float ReadSensor(TemperatureSensor* sensor, const char* what, SensorSlot& slot);

    InstancePaths m_paths;
    std::string m_sysfs;
    std::ostream& m_log;
    std::shared_ptr<const NvmlLibrary> m_nvml;
    DiscoveredSensors m_sensors;
    HidLibrary m_hid;
    HotplugMonitor m_hotplug;
    bool m_pollForDisplays;
    AttachedDisplays m_displays;
    ConfigFileMonitor m_configMonitor;
    FileChangeWatch m_configWatch; // only when the monitor cannot watch the folder
    DisplaySettings m_settings;
    DaemonStatus m_status;
    SensorSlot m_cpu;
    SensorSlot m_gpus[SensorSnapshot::kGpuSlots];
    std::int32_t m_shownValue = 0;
    DisplaySettings m_shownSettings{-1, -1, -1};
    // Status work is most of a quiet tick's cost: it is redone only when something changed.
    bool m_statusDirty = true;
    unsigned m_publishedDisplayChanges = 0;
    std::string m_statusError;
    bool m_reportedNoDisplay = false;
    ServiceNotifier m_service{[this](const std::string& line) { Log(line); }};
};
