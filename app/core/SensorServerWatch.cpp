#include "app/core/SensorServerWatch.h"

SensorServerWatch::Decision SensorServerWatch::Tick(bool viewHeld, float liveness)
{
    Decision decision{};
    decision.launchServer = viewHeld && liveness <= 0.0f;
    decision.stopTimer = m_ticks > 10;
    ++m_ticks;
    return decision;
}
