#include "linux/sensors/SysfsTemperatureSensor.h"

#include "linux/sensors/MillidegreeValue.h"
#include "linux/settings/TextFile.h"

SysfsTemperatureSensor::SysfsTemperatureSensor(std::string name, std::string path)
    : m_name(std::move(name)), m_path(std::move(path))
{
}

std::string SysfsTemperatureSensor::Describe() const
{
    return m_name + " (" + m_path + ")";
}

SensorReading SysfsTemperatureSensor::Read()
{
    std::string text;
    std::string error;
    if (!ReadTextFile(m_path, text, error))
    {
        SensorReading reading;
        reading.problem = error;
        return reading;
    }
    SensorReading reading = ParseMillidegrees(text);
    if (!reading.valid)
    {
        reading.problem += " in " + m_path;
    }
    return reading;
}
