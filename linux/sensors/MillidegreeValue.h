#pragma once

#include "linux/sensors/TemperatureSensor.h"

#include <string>

// Readings outside this range are a broken sensor, not a temperature the display should show.
constexpr double kLowestPlausibleCelsius = 0.0;
constexpr double kHighestPlausibleCelsius = 150.0;

// A sysfs temperature: a decimal number of millidegrees Celsius and a line end, nothing else.
SensorReading ParseMillidegrees(const std::string& text);
// Applies the plausible range to a reading from any source.
SensorReading CheckPlausible(double celsius);
