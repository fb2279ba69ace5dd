#pragma once
#include <cstdint>

// The sensor-server watch run by the main window's 5-second timer during the program's first
// minute. Window thread only.
class SensorServerWatch
{
public:
    static constexpr unsigned kTimerId = 300;
    static constexpr unsigned kPeriodMs = 5000;

    struct Decision
    {
        bool launchServer; // the snapshot shows no live readings
        bool stopTimer;    // the watch has had its 12 ticks
    };

    // viewHeld: the snapshot is mapped; liveness: its CPU liveness value (read only when held).
    // A liveness of 0.0 or less means the server delivers nothing; NaN counts as live.
    Decision Tick(bool viewHeld, float liveness);
    std::uint32_t Ticks() const { return m_ticks; }

private:
    std::uint32_t m_ticks = 0;
};
