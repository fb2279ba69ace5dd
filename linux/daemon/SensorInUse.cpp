#include "linux/daemon/SensorInUse.h"

#include "linux/sensors/SensorDiscovery.h"

#include <cstdio>

namespace
{
std::string FormatCelsius(double celsius)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f C", celsius);
    return text;
}
} // namespace

SensorInUse::SensorInUse(Side side, LogFunction log) : m_side(side), m_log(std::move(log)) {}

void SensorInUse::Take(const SensorCandidate* candidate, const std::shared_ptr<const NvmlLibrary>& nvml)
{
    m_sensor = candidate ? OpenSensor(*candidate, nvml) : nullptr;
    m_path = candidate ? candidate->path : "";
    m_description = m_sensor ? m_sensor->Describe() : "";
    m_read = false;
    m_valid = false;
    m_problem.clear();
    m_warned = false;
}

void SensorInUse::Choose(const std::string& chosen, const std::vector<SensorCandidate>& candidates,
                         const std::shared_ptr<const NvmlLibrary>& nvml)
{
    m_chosen = !chosen.empty();
    const SensorCandidate* found = nullptr;
    if (m_chosen)
    {
        found = FindSensor(candidates, chosen);
        m_wanted = chosen;
    }
    else
    {
        found = m_side == Side::Cpu ? AutoCpuSensor(candidates) : AutoGpuSensor(candidates);
        m_wanted = found ? found->id : "";
    }
    Take(found, nvml);
    const std::string how = m_chosen ? " (chosen)" : " (automatic)";
    if (m_sensor)
        m_log(LogPriority::Info, std::string(Name()) + " sensor: " + m_description + how);
    else if (m_chosen)
        m_log(LogPriority::Warning, std::string(Name()) + " sensor " + m_wanted +
                                        " (chosen) is missing; the display shows 0 for it until it appears");
    else
        m_log(LogPriority::Info, std::string(Name()) + " sensor: none found");
    m_warned = !m_sensor && m_chosen;
}

bool SensorInUse::LookAgain(const std::vector<SensorCandidate>& candidates,
                            const std::shared_ptr<const NvmlLibrary>& nvml)
{
    const SensorCandidate* found =
        m_wanted.empty() ? (m_side == Side::Cpu ? AutoCpuSensor(candidates) : AutoGpuSensor(candidates))
                         : FindSensor(candidates, m_wanted);
    // Still under the same file: unreadable rather than gone; reading it again is all there is.
    if (!found || (m_sensor && found->path == m_path))
    {
        return false;
    }
    m_wanted = found->id;
    Take(found, nvml);
    m_log(LogPriority::Info, std::string(Name()) + " sensor " + m_description + " appeared; using it");
    return true;
}

bool SensorInUse::Read()
{
    if (!m_sensor && m_read)
    {
        return false; // nothing to read, and nothing changes until a look finds it
    }
    SensorReading reading;
    if (m_sensor)
    {
        reading = m_sensor->Read();
    }
    else
    {
        reading.problem =
            m_wanted.empty() ? std::string("no ") + Name() + " temperature sensor found" : "missing";
    }
    const float celsius = reading.valid ? static_cast<float>(reading.celsius) : 0.0f;
    if (m_read && m_valid == reading.valid && m_celsius == celsius && m_problem == reading.problem)
    {
        return false;
    }
    // Logged when it stops and when it reads again, not at every change of the reason.
    if (!reading.valid && !m_warned && (m_sensor || m_chosen))
    {
        m_log(LogPriority::Warning, std::string(Name()) + ": " + reading.problem +
                                        " (the display shows 0 for it until it is back)");
        m_warned = true;
    }
    else if (reading.valid && m_warned)
    {
        m_log(LogPriority::Info, std::string(Name()) + " sensor " + m_wanted + " reads again");
        m_warned = false;
    }
    m_read = true;
    m_valid = reading.valid;
    m_celsius = celsius;
    m_problem = reading.problem;
    return true;
}

SensorStatus SensorInUse::Status() const
{
    SensorStatus status;
    status.id = m_wanted;
    if (m_valid)
        status.state = "ok";
    else if (m_sensor)
        status.state = "unreadable";
    else
        status.state = m_wanted.empty() ? "none" : "missing";
    if (m_sensor)
        status.description = m_description + (m_chosen ? " (chosen)" : "");
    else if (m_wanted.empty())
        status.description = "none found";
    else
        status.description = m_wanted + (m_chosen ? " (chosen)" : "");
    status.reading = m_valid ? FormatCelsius(m_celsius) : "no reading: " + m_problem;
    status.hasCelsius = m_valid;
    status.celsius = m_celsius;
    return status;
}
