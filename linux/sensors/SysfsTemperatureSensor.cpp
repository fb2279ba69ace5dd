#include "linux/sensors/SysfsTemperatureSensor.h"

#include "linux/sensors/MillidegreeValue.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>

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
    SensorReading reading;
    if (!m_fd)
    {
        m_fd.reset(open(m_path.c_str(), O_RDONLY | O_CLOEXEC));
        if (!m_fd)
        {
            reading.problem = "cannot read " + m_path + ": " + std::strerror(errno);
            return reading;
        }
    }
    char text[64];
    const ssize_t got = pread(m_fd.get(), text, sizeof text - 1, 0);
    if (got < 0)
    {
        reading.problem = "cannot read " + m_path + ": " + std::strerror(errno);
        m_fd.reset();
        return reading;
    }
    reading = ParseMillidegrees(std::string(text, static_cast<std::size_t>(got)));
    if (!reading.valid)
    {
        reading.problem += " in " + m_path;
    }
    return reading;
}
