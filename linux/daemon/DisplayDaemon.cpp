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

// What the digits say, in words: the same value the report carries.
std::string DescribeShown(const SensorSnapshot& snapshot, const DisplaySettings& settings)
{
    if (settings.ledSwitch != 1)
    {
        return "blank (led off)";
    }
    const std::int32_t value = ChooseDisplayValue(snapshot.CpuDegrees(), snapshot.GpuDegrees(), settings);
    return std::to_string(value) + (settings.tempeType == 1 ? " F" : " C") +
           (settings.deviceType != 0 ? " (gpu)" : " (cpu)");
}
} // namespace

DisplayDaemon::DisplayDaemon(const DaemonOptions& options, InstancePaths paths, std::ostream& log)
    : m_paths(std::move(paths)), m_sysfs(options.sysfs), m_log(log), m_nvml(std::make_shared<NvmlLibrary>()),
      m_pollForDisplays(options.hotplug == HotplugMode::Poll ||
                        (options.hotplug == HotplugMode::Automatic && !m_hotplug.Active())),
      m_displays([this](const std::string& line) { Log(line); }), m_configWatch(m_paths.config)
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
}

void DisplayDaemon::ReloadSettingsIfChanged()
{
    if (!m_configWatch.Changed())
    {
        return;
    }
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

float DisplayDaemon::ReadSensor(TemperatureSensor* sensor, const char* what, std::string& shown,
                                std::string& lastProblem)
{
    std::string problem;
    float celsius = 0.0f;
    if (!sensor)
    {
        problem = std::string("no ") + what + " temperature sensor found";
    }
    else
    {
        const SensorReading reading = sensor->Read();
        if (reading.valid)
        {
            celsius = static_cast<float>(reading.celsius);
        }
        else
        {
            problem = reading.problem;
        }
    }
    shown = problem.empty() ? FormatCelsius(celsius) : "no reading: " + problem;
    if (problem != lastProblem && !problem.empty())
    {
        Log(std::string(what) + ": " + problem + " (the display shows 0 for it)");
    }
    lastProblem = problem;
    return celsius;
}

void DisplayDaemon::Tick()
{
    ReloadSettingsIfChanged();
    if (m_pollForDisplays)
    {
        m_displays.Scan();
    }

    ReadingsBlock block;
    block.SetCpu(ReadSensor(m_sensors.cpu.get(), "cpu", m_status.cpuReading, m_cpuProblem));
    std::string gpuProblem;
    for (std::size_t slot = 0; slot < m_sensors.gpus.size() && slot < SensorSnapshot::kGpuSlots; ++slot)
    {
        std::string shown;
        std::string& problem = slot == 0 ? m_gpuProblem : gpuProblem;
        const float celsius = ReadSensor(m_sensors.gpus[slot].get(), "gpu", shown, problem);
        block.SetGpu(static_cast<int>(slot), m_sensors.gpus[slot]->Describe(), celsius);
        if (slot == 0)
        {
            m_status.gpuReading = shown;
        }
    }
    if (m_sensors.gpus.empty())
    {
        m_status.gpuReading = "no reading";
    }

    const SensorSnapshot snapshot = block.Snapshot();
    m_status.shows = DescribeShown(snapshot, m_settings);
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
    m_status.displays = m_displays.Status();
    m_status.problems = m_displays.Problems();
    // Formatting is most of a quiet tick's work; skip it while nothing changed.
    if (m_published && m_status == m_lastStatus)
    {
        return;
    }
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
    m_lastStatus = m_status;
    m_published = true;
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
        pollfd fd{m_hotplug.Fd(), POLLIN, 0};
        const int ready = poll(&fd, m_hotplug.Active() ? 1 : 0, static_cast<int>(left.count()) + 1);
        if (ready > 0 && m_hotplug.Drain())
        {
            m_displays.Scan();
            PublishStatus();
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
    m_displays.Scan();
    auto next = Clock::now();
    while (!stop)
    {
        if (rediscover)
        {
            rediscover = 0;
            Discover();
        }
        Tick();
        next += kTickPeriod;
        const auto now = Clock::now();
        if (next < now) // after a suspend, do not try to catch up
        {
            next = now + kTickPeriod;
        }
        WaitUntil(next, stop);
    }
    Log("stopping");
    return 0;
}
