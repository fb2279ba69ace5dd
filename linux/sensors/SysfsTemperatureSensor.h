#pragma once

#include "linux/sensors/TemperatureSensor.h"
#include "linux/platform/UniqueFd.h"

// A temperature file in millidegrees (hwmon tempN_input or a thermal zone's temp). The file stays
// open and is read again from offset 0 each time (sysfs samples anew on every read), which spares
// the path lookup each second; a read that fails closes it so the next call looks the path up.
class SysfsTemperatureSensor : public TemperatureSensor
{
public:
    SysfsTemperatureSensor(std::string name, std::string path);

    std::string Describe() const override;
    SensorReading Read() override;

private:
    std::string m_name;
    std::string m_path;
    UniqueFd m_fd;
};
