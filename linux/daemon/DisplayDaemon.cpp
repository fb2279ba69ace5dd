#include "linux/daemon/DisplayDaemon.h"

#include "app/device/SensorSnapshot.h"
#include "linux/sensors/ReadingsBlock.h"
#include "linux/platform/TextFile.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace
{
constexpr std::chrono::milliseconds kTickPeriod{1000};
// How often a missing sensor is looked for where no udev event says a driver came.
constexpr int kTicksBetweenLooks = 5;
} // namespace

DisplayDaemon::DisplayDaemon(const DaemonOptions& options, InstancePaths paths, DaemonLog& log)
    : m_paths(std::move(paths)), m_sysfs(options.sysfs), m_log(log),
      m_cpu(SensorInUse::Side::Cpu, log.Function()), m_gpu(SensorInUse::Side::Gpu, log.Function()),
      m_pollForDisplays(options.hotplug == HotplugMode::Poll ||
                        (options.hotplug == HotplugMode::Automatic && !m_hotplug.Active())),
      m_displays(log.Function(), m_sysfs, m_pollForDisplays), m_configMonitor(m_paths.config),
      m_configWatch(m_paths.config)
{
    m_status.pid = getpid();
    m_status.config = m_paths.config;
    if (m_pollForDisplays)
    {
        m_status.hotplug = "checking for displays once a second (no udev events)";
    }
    else if (m_hotplug.Active())
    {
        m_status.hotplug = "udev events";
    }
    else
    {
        m_status.hotplug = "udev events unavailable; displays are found at start only";
    }
}

DisplayDaemon::~DisplayDaemon()
{
    // A stale status would make the tool report a daemon that is gone.
    unlink(m_paths.status.c_str());
}

void DisplayDaemon::Discover()
{
    if (!m_nvml || !m_nvml->IsLoaded()) // the NVIDIA driver may have come since
    {
        m_nvml = std::make_shared<NvmlLibrary>();
    }
    const std::vector<SensorCandidate> candidates = ListSensorCandidates(m_sysfs, m_nvml.get());
    m_cpu.Choose(m_settings.cpuSensor, candidates, m_nvml);
    m_gpu.Choose(m_settings.gpuSensor, candidates, m_nvml);
    m_ticksSinceLook = 0;
    m_statusDirty = true;
}

bool DisplayDaemon::SensorsWantLook() const
{
    const bool showsGpu = m_settings.display.deviceType != 0;
    return m_cpu.WantsLook(!showsGpu) || m_gpu.WantsLook(showsGpu);
}

void DisplayDaemon::LookForMissingSensors()
{
    if (!SensorsWantLook())
    {
        m_ticksSinceLook = 0;
        m_lookNow = false;
        return;
    }
    if (!m_lookNow && ++m_ticksSinceLook < kTicksBetweenLooks)
    {
        return;
    }
    m_ticksSinceLook = 0;
    m_lookNow = false;
    if (m_gpu.Missing() && (!m_nvml || !m_nvml->IsLoaded()))
    {
        m_nvml = std::make_shared<NvmlLibrary>();
    }
    const std::vector<SensorCandidate> candidates = ListSensorCandidates(m_sysfs, m_nvml.get());
    const bool cpu = m_cpu.Missing() && m_cpu.LookAgain(candidates, m_nvml);
    const bool gpu = m_gpu.Missing() && m_gpu.LookAgain(candidates, m_nvml);
    m_statusDirty = m_statusDirty || cpu || gpu;
}

void DisplayDaemon::ReloadSettings()
{
    m_statusDirty = true;
    std::string text;
    std::string error;
    int errorNumber = 0;
    std::vector<std::string> problems;
    if (!ReadRegularFile(m_paths.config, kMaxTextFileBytes, text, error, &errorNumber))
    {
        text.clear();
        if (errorNumber != ENOENT) // no file simply means the defaults
        {
            problems.push_back(error + " (the defaults apply)");
        }
    }
    const SettingsParseResult parsed = ParseSettingsText(text);
    problems.insert(problems.end(), parsed.problems.begin(), parsed.problems.end());
    if (parsed.settings.cpuSensor != m_settings.cpuSensor ||
        parsed.settings.gpuSensor != m_settings.gpuSensor)
    {
        m_discoverPending = true;
    }
    m_settings = parsed.settings;
    m_status.settings = m_settings;
    if (problems != m_status.configProblems)
    {
        for (const std::string& problem : problems)
        {
            Log(LogPriority::Warning, "config " + m_paths.config + ": " + problem);
        }
    }
    m_status.configProblems = problems;
    Log(LogPriority::Info, "settings: " + DescribeSettings(m_settings));
}

void DisplayDaemon::Tick()
{
    if (m_configMonitor.Fd() < 0 && m_configWatch.Changed())
    {
        ReloadSettings();
    }
    if (m_discoverPending)
    {
        m_discoverPending = false;
        Discover();
    }
    if (m_pollForDisplays || m_displays.NeedsRescan())
    {
        m_displays.Scan();
    }
    LookForMissingSensors();
    const bool cpuChanged = m_cpu.Read();
    const bool gpuChanged = m_gpu.Read();
    m_statusDirty = m_statusDirty || cpuChanged || gpuChanged;

    ReadingsBlock block;
    block.SetCpu(m_cpu.Celsius());
    block.SetGpu(0, "gpu", m_gpu.Celsius());
    const SensorSnapshot snapshot = block.Snapshot();
    const DisplaySettings& settings = m_settings.display;
    const std::int32_t value = ChooseDisplayValue(snapshot.CpuDegrees(), snapshot.GpuDegrees(), settings);
    if (value != m_shownValue || settings.ledSwitch != m_shownSettings.ledSwitch ||
        settings.deviceType != m_shownSettings.deviceType || settings.tempeType != m_shownSettings.tempeType)
    {
        m_shownValue = value;
        m_shownSettings = settings;
        m_status.hasValue = settings.ledSwitch == 1;
        m_status.value = value;
        m_status.shows = settings.ledSwitch != 1
                             ? "blank (led off)"
                             : std::to_string(value) + (settings.tempeType == 1 ? " F" : " C") +
                                   (settings.deviceType != 0 ? " (gpu)" : " (cpu)");
        m_statusDirty = true;
    }
    m_displays.SendToAll(BuildTickReport(&snapshot, settings), m_status.shows);

    if (m_displays.Empty() && !m_reportedNoDisplay)
    {
        Log(LogPriority::Info, "no display attached; waiting for one");
    }
    m_reportedNoDisplay = m_displays.Empty();
    PublishStatus();
}

void DisplayDaemon::PublishStatus()
{
    if (!m_statusDirty && m_displays.Changes() == m_publishedDisplayChanges)
    {
        return;
    }
    m_status.cpu = m_cpu.Status();
    m_status.gpu = m_gpu.Status();
    m_status.displays = m_displays.Status();
    m_status.problems = m_displays.Problems();
    const std::string text = FormatDaemonStatus(m_status);
    std::string error;
    if (!ReplaceTextFile(m_paths.status, text, 0644, error))
    {
        if (error != m_statusError)
        {
            Log(LogPriority::Error, error + " (kelvanectl status will not see this daemon)");
        }
        m_statusError = error;
        return;
    }
    m_statusError.clear();
    m_statusDirty = false;
    m_publishedDisplayChanges = m_displays.Changes();
}

void DisplayDaemon::WaitUntil(Clock::time_point deadline, const volatile std::sig_atomic_t& stop)
{
    while (!stop)
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
        {
            return;
        }
        pollfd fds[2] = {{m_hotplug.Fd(), POLLIN, 0}, {m_configMonitor.Fd(), POLLIN, 0}};
        if (poll(fds, 2, static_cast<int>(left.count()) + 1) <= 0) // negative fds are skipped
        {
            continue;
        }
        if (fds[0].revents & POLLIN)
        {
            const HotplugMonitor::Events events = m_hotplug.Drain();
            m_lookNow = m_lookNow || events.hwmon; // looked at in the next tick, if one is missing
            if (events.hidraw)
            {
                m_displays.Scan();
                PublishStatus();
            }
        }
        if ((fds[1].revents & POLLIN) && m_configMonitor.Drain())
        {
            ReloadSettings(); // the next tick shows it
        }
    }
}

int DisplayDaemon::Run(const volatile std::sig_atomic_t& stop, volatile std::sig_atomic_t& rediscover)
{
    Log(LogPriority::Info,
        "config " + m_paths.config + ", status " + m_paths.status + ", hot-plug: " + m_status.hotplug);
    if (!m_hid.Initialised())
    {
        Log(LogPriority::Warning, "hidapi could not start; it retries at each scan");
    }
    ReloadSettings();
    m_configWatch.Changed(); // the fallback's first look is this load
    m_displays.Scan();
    auto next = Clock::now();
    while (!stop)
    {
        if (rediscover)
        {
            rediscover = 0;
            m_service.Reloading(); // ready again after the next tick's discovery
            m_discoverPending = true;
        }
        Tick();
        m_service.TickDone(); // a loop that hangs stops the watchdog's pings
        next += kTickPeriod;
        const auto now = Clock::now();
        if (next < now) // after a suspend, do not try to catch up
        {
            next = now + kTickPeriod;
        }
        WaitUntil(next, stop);
    }
    Log(LogPriority::Info, "stopping");
    m_service.Stopping();
    return 0;
}
