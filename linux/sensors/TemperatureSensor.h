#pragma once

#include <string>

// One reading; when valid is false, problem says why in words fit for the status output.
struct SensorReading
{
    bool valid = false;
    double celsius = 0.0;
    std::string problem;
};

// A temperature source chosen by discovery: an hwmon or thermal-zone file, or a GPU through NVML.
class TemperatureSensor
{
public:
    virtual ~TemperatureSensor() = default;
    // For instance "k10temp Tctl (/sys/class/hwmon/hwmon2/temp1_input)".
    virtual std::string Describe() const = 0;
    virtual SensorReading Read() = 0;
};
