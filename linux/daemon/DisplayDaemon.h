#pragma once

#include "app/device/DisplayReport.h"
#include "linux/daemon/DaemonLog.h"
#include "linux/daemon/DaemonOptions.h"
#include "linux/daemon/SensorInUse.h"
#include "linux/daemon/ServiceNotifier.h"
#include "linux/devices/AttachedDisplays.h"
#include "linux/devices/HidLibrary.h"
#include "linux/devices/HotplugMonitor.h"
#include "linux/settings/ConfigFileMonitor.h"
#include "linux/settings/DisplaySettingsText.h"
#include "linux/settings/FileChangeWatch.h"
#include "linux/settings/InstancePaths.h"
#include "linux/status/DaemonStatus.h"

#include <chrono>
#include <csignal>
#include <memory>
#include <string>

// The display link: once a second, the chosen reading to every attached display. Single-threaded:
// between ticks it sleeps in poll() on the udev monitor and the settings folder, so it wakes once a
// second, on hot-plug and when the settings change. The caller holds the instance lock.
class DisplayDaemon
{
public:
    DisplayDaemon(const DaemonOptions& options, InstancePaths paths, DaemonLog& log);
    ~DisplayDaemon();
    DisplayDaemon(const DisplayDaemon&) = delete;
    DisplayDaemon& operator=(const DisplayDaemon&) = delete;

    // Runs until stop becomes non-zero (set from a signal handler); rediscover asks for a fresh
    // sensor discovery (SIGHUP). Returns the process exit code.
    int Run(const volatile std::sig_atomic_t& stop, volatile std::sig_atomic_t& rediscover);

private:
    using Clock = std::chrono::steady_clock;

    void Log(LogPriority priority, const std::string& line) { m_log(priority, line); }
    void Discover();
    // Only while a sensor the display needs is missing: a fresh list of the machine's sensors
    // costs more than a quiet tick's whole work.
    void LookForMissingSensors();
    bool SensorsWantLook() const;
    void ReloadSettings();
    void Tick();
    void WaitUntil(Clock::time_point deadline, const volatile std::sig_atomic_t& stop);
    void PublishStatus();

    InstancePaths m_paths;
    std::string m_sysfs;
    DaemonLog& m_log;
    std::shared_ptr<const NvmlLibrary> m_nvml; // loaded again while it is not (driver not ready yet)
    SensorInUse m_cpu;
    SensorInUse m_gpu;
    HidLibrary m_hid;
    HotplugMonitor m_hotplug;
    bool m_pollForDisplays;
    AttachedDisplays m_displays;
    ConfigFileMonitor m_configMonitor;
    FileChangeWatch m_configWatch; // only when the monitor cannot watch the folder
    DaemonSettings m_settings;
    DaemonStatus m_status;
    bool m_discoverPending = true; // at start, on SIGHUP and when the choice of sensors changes
    int m_ticksSinceLook = 0;
    bool m_lookNow = false; // udev reported a sensor driver
    std::int32_t m_shownValue = 0;
    DisplaySettings m_shownSettings{-1, -1, -1};
    // Status work is most of a quiet tick's cost: it is redone only when something changed.
    bool m_statusDirty = true;
    unsigned m_publishedDisplayChanges = 0;
    std::string m_statusError;
    bool m_reportedNoDisplay = false;
    ServiceNotifier m_service{[this](const std::string& line) { Log(LogPriority::Warning, line); }};
};
