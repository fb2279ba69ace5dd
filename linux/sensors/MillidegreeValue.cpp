#include "linux/sensors/MillidegreeValue.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace
{
std::string Shorten(const std::string& text)
{
    std::string shown = text.substr(0, 24);
    for (char& c : shown)
    {
        if (c < 0x20 || c > 0x7E)
        {
            c = '?';
        }
    }
    return shown;
}
} // namespace

SensorReading CheckPlausible(double celsius)
{
    SensorReading reading;
    if (celsius < kLowestPlausibleCelsius || celsius > kHighestPlausibleCelsius)
    {
        char text[96];
        std::snprintf(text, sizeof text, "implausible value %.1f C (expected %.0f to %.0f C)", celsius,
                      kLowestPlausibleCelsius, kHighestPlausibleCelsius);
        reading.problem = text;
        return reading;
    }
    reading.valid = true;
    reading.celsius = celsius;
    return reading;
}

SensorReading ParseMillidegrees(const std::string& text)
{
    std::string digits = text;
    while (!digits.empty() && (digits.back() == '\n' || digits.back() == ' '))
    {
        digits.pop_back();
    }
    SensorReading reading;
    if (digits.empty())
    {
        reading.problem = "empty value";
        return reading;
    }
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(digits.c_str(), &end, 10);
    if (end == digits.c_str() || *end != '\0' || errno == ERANGE || digits[0] == ' ' || digits[0] == '+')
    {
        reading.problem = "unreadable value '" + Shorten(digits) + "'";
        return reading;
    }
    return CheckPlausible(static_cast<double>(value) / 1000.0);
}
