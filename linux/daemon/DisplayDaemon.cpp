#include "linux/daemon/DisplayDaemon.h"

#include "app/device/SensorSnapshot.h"
#include "linux/sensors/ReadingsBlock.h"
#include "linux/settings/DisplaySettingsText.h"
#include "linux/settings/TextFile.h"

#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

namespace
{
constexpr std::chrono::milliseconds kTickPeriod{1000};

std::string FormatCelsius(double celsius)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f C", celsius);
    return text;
}

} // namespace

DisplayDaemon::DisplayDaemon(const DaemonOptions& options, InstancePaths paths, std::ostream& log)
    : m_paths(std::move(paths)), m_sysfs(options.sysfs), m_log(log), m_nvml(std::make_shared<NvmlLibrary>()),
      m_pollForDisplays(options.hotplug == HotplugMode::Poll ||
                        (options.hotplug == HotplugMode::Automatic && !m_hotplug.Active())),
      m_displays([this](const std::string& line) { Log(line); }, m_sysfs), m_configMonitor(m_paths.config),
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

void DisplayDaemon::Log(const std::string& line)
{
    m_log << "kelvaned: " << line << std::endl;
}

void DisplayDaemon::Discover()
{
    m_sensors = DiscoverSensors(m_sysfs, m_nvml);
    m_status.cpuSensor = m_sensors.cpu ? m_sensors.cpu->Describe() : "none found";
    m_status.gpuSensor = m_sensors.gpus.empty() ? "none found" : m_sensors.gpus.front()->Describe();
    for (std::size_t i = 1; i < m_sensors.gpus.size() && i < SensorSnapshot::kGpuSlots; ++i)
    {
        m_status.gpuSensor += "; second: " + m_sensors.gpus[i]->Describe();
    }
    Log("cpu sensor: " + m_status.cpuSensor + "; gpu sensor: " + m_status.gpuSensor);
    m_cpu = SensorSlot{};
    for (SensorSlot& slot : m_gpus)
    {
        slot = SensorSlot{};
    }
    m_statusDirty = true;
}

void DisplayDaemon::ReloadSettings()
{
    m_statusDirty = true;
    std::string text;
    std::string error;
    int errorNumber = 0;
    std::vector<std::string> problems;
    if (!ReadTextFile(m_paths.config, text, error, &errorNumber))
    {
        text.clear();
        if (errorNumber != ENOENT) // no file simply means the defaults
        {
            problems.push_back(error);
        }
    }
    SettingsParseResult parsed = ParseSettingsText(text);
    problems.insert(problems.end(), parsed.problems.begin(), parsed.problems.end());
    m_settings = parsed.settings;
    m_status.settings = DescribeSettings(m_settings);
    if (problems != m_status.configProblems)
    {
        for (const std::string& problem : problems)
        {
            Log("config " + m_paths.config + ": " + problem);
        }
    }
    m_status.configProblems = problems;
    Log("settings: " + m_status.settings);
}

float DisplayDaemon::ReadSensor(TemperatureSensor* sensor, const char* what, SensorSlot& slot)
{
    SensorReading reading;
    if (sensor)
    {
        reading = sensor->Read();
    }
    else
    {
        reading.problem = std::string("no ") + what + " temperature sensor found";
    }
    const float celsius = reading.valid ? static_cast<float>(reading.celsius) : 0.0f;
    if (slot.read && slot.valid == reading.valid && slot.celsius == celsius &&
        slot.problem == reading.problem)
    {
        return celsius;
    }
    if (!reading.valid && reading.problem != slot.problem)
    {
        Log(std::string(what) + ": " + reading.problem + " (the display shows 0 for it)");
    }
    slot.read = true;
    slot.valid = reading.valid;
    slot.celsius = celsius;
    slot.problem = reading.problem;
    slot.shown = reading.valid ? FormatCelsius(celsius) : "no reading: " + reading.problem;
    m_statusDirty = true;
    return celsius;
}

void DisplayDaemon::Tick()
{
    if (m_configMonitor.Fd() < 0 && m_configWatch.Changed())
    {
        ReloadSettings();
    }
    if (m_pollForDisplays)
    {
        m_displays.Scan();
    }

    ReadingsBlock block;
    block.SetCpu(ReadSensor(m_sensors.cpu.get(), "cpu", m_cpu));
    static const char* const kSlotNames[] = {"gpu 0", "gpu 1"}; // only "named or not" matters
    for (std::size_t slot = 0; slot < m_sensors.gpus.size() && slot < SensorSnapshot::kGpuSlots; ++slot)
    {
        block.SetGpu(static_cast<int>(slot), kSlotNames[slot],
                     ReadSensor(m_sensors.gpus[slot].get(), "gpu", m_gpus[slot]));
    }

    const SensorSnapshot snapshot = block.Snapshot();
    const std::int32_t value = ChooseDisplayValue(snapshot.CpuDegrees(), snapshot.GpuDegrees(), m_settings);
    if (value != m_shownValue || m_settings.ledSwitch != m_shownSettings.ledSwitch ||
        m_settings.deviceType != m_shownSettings.deviceType ||
        m_settings.tempeType != m_shownSettings.tempeType)
    {
        m_shownValue = value;
        m_shownSettings = m_settings;
        m_status.shows = m_settings.ledSwitch != 1
                             ? "blank (led off)"
                             : std::to_string(value) + (m_settings.tempeType == 1 ? " F" : " C") +
                                   (m_settings.deviceType != 0 ? " (gpu)" : " (cpu)");
        m_statusDirty = true;
    }
    m_displays.SendToAll(BuildTickReport(&snapshot, m_settings), m_status.shows);

    if (m_displays.Empty() && !m_reportedNoDisplay)
    {
        Log("no display attached; waiting for one");
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
    m_status.cpuReading = m_cpu.shown;
    m_status.gpuReading = m_sensors.gpus.empty() ? "no reading" : m_gpus[0].shown;
    m_status.displays = m_displays.Status();
    m_status.problems = m_displays.Problems();
    const std::string text = FormatDaemonStatus(m_status);
    std::string error;
    if (!ReplaceTextFile(m_paths.status, text, 0644, error))
    {
        if (error != m_statusError)
        {
            Log(error + " (kelvanectl status will not see this daemon)");
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
        if ((fds[0].revents & POLLIN) && m_hotplug.Drain())
        {
            m_displays.Scan();
            PublishStatus();
        }
        if ((fds[1].revents & POLLIN) && m_configMonitor.Drain())
        {
            ReloadSettings(); // the next tick shows it
        }
    }
}

int DisplayDaemon::Run(const volatile std::sig_atomic_t& stop, volatile std::sig_atomic_t& rediscover)
{
    Log("config " + m_paths.config + ", status " + m_paths.status + ", hot-plug: " + m_status.hotplug);
    if (!m_hid.Initialised())
    {
        Log("hidapi could not start; it retries at each scan");
    }
    Discover();
    ReloadSettings();
    m_configWatch.Changed(); // the fallback's first look is this load
    m_displays.Scan();
    auto next = Clock::now();
    while (!stop)
    {
        if (rediscover)
        {
            rediscover = 0;
            m_service.Reloading();
            Discover();
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
    Log("stopping");
    m_service.Stopping();
    return 0;
}
