#pragma once

#include "linux/sensors/SensorCatalog.h"
#include "linux/platform/LogPriority.h"
#include "linux/status/DaemonStatus.h"

#include <memory>
#include <string>
#include <vector>

// The sensor one side of the display (cpu or gpu) reads: the user's choice or the automatic one.
// It keeps wanting the sensor it found or was given, so one that goes away shows 0 until it is
// back (found again by the daemon's next look, perhaps under another hwmon folder), and each
// going and coming is logged once. Used by the daemon's single thread only.
class SensorInUse
{
public:
    enum class Side
    {
        Cpu,
        Gpu,
    };

    SensorInUse(Side side, LogFunction log);

    // Starts afresh from a new list: chosen is a sensor id, or empty for the automatic choice.
    void Choose(const std::string& chosen, const std::vector<SensorCandidate>& candidates,
                const std::shared_ptr<const NvmlLibrary>& nvml);
    // While Missing(): takes the wanted sensor (or, automatic with none found yet, the automatic
    // choice) from a new list when it is there. True when it took one.
    bool LookAgain(const std::vector<SensorCandidate>& candidates,
                   const std::shared_ptr<const NvmlLibrary>& nvml);
    // Reads the sensor; true when what the status shows changed.
    bool Read();

    // No reading: absent, not found, or unreadable.
    bool Missing() const { return !m_sensor || (m_read && !m_valid); }
    // Worth looking for again: a sensor it knows of, or any sensor for the side the display shows.
    bool WantsLook(bool shownSide) const { return Missing() && (shownSide || !m_wanted.empty()); }
    // The reading for the display; 0.0 (no reading) without one.
    float Celsius() const { return m_valid ? m_celsius : 0.0f; }
    SensorStatus Status() const;

private:
    void Take(const SensorCandidate* candidate, const std::shared_ptr<const NvmlLibrary>& nvml);
    const char* Name() const { return m_side == Side::Cpu ? "cpu" : "gpu"; }

    Side m_side;
    LogFunction m_log;
    bool m_chosen = false; // the user named the sensor
    std::string m_wanted;  // the id in use or waited for; empty: automatic, none found yet
    std::string m_path;    // the wanted sensor's file when it was taken
    std::unique_ptr<TemperatureSensor> m_sensor;
    std::string m_description;
    bool m_read = false;
    bool m_valid = false;
    float m_celsius = 0.0f;
    std::string m_problem;
    bool m_warned = false; // a "no reading" line was logged and the "back" line is owed
};
