#pragma once

#include "linux/sensors/TemperatureSensor.h"

// A temperature file in millidegrees (hwmon tempN_input or a thermal zone's temp), read anew on
// every call: the kernel samples on read.
class SysfsTemperatureSensor : public TemperatureSensor
{
public:
    SysfsTemperatureSensor(std::string name, std::string path);

    std::string Describe() const override;
    SensorReading Read() override;

private:
    std::string m_name;
    std::string m_path;
};
