#include "app/device/DisplayReport.h"

#include "app/device/SensorSnapshot.h"
#include "app/device/TruncateToInt32.h"

std::int32_t ToDisplayUnit(std::int32_t celsius, int tempeType)
{
    if (tempeType != 1 || celsius == 0)
    {
        return celsius;
    }
    // In double: the product of a garbage reading can leave the 32-bit range.
    return TruncateToInt32(static_cast<double>(celsius) * 1.8 + 32.0);
}

std::int32_t ChooseDisplayValue(std::int32_t cpuCelsius, std::int32_t gpuCelsius,
                                const DisplaySettings& settings)
{
    std::int32_t cpu = ToDisplayUnit(cpuCelsius, settings.tempeType);
    const std::int32_t gpu = ToDisplayUnit(gpuCelsius, settings.tempeType);
    if (cpu >= kCpuDisplayCap)
    {
        cpu = kCpuDisplayCap;
    }
    return settings.deviceType != 0 ? gpu : cpu;
}

TemperatureReport BuildTemperatureReport(std::int32_t value, int ledSwitch)
{
    TemperatureReport report{};
    report[0] = kDisplayReportId;
    report[1] = kShowTemperatureCommand;
    report[2] = 0xFF;
    if (ledSwitch == 1)
    {
        // C++ division truncates toward zero and % keeps the dividend's sign, so negative readings
        // give negative digits; none of these can overflow, even for the most negative value.
        const std::int32_t hundreds = (value / 100) % 10;
        const std::int32_t tens = (value / 10) % 10;
        const std::int32_t ones = value - 10 * (value / 10);
        report[3] = static_cast<std::uint8_t>(hundreds & 0xFF);
        report[4] = static_cast<std::uint8_t>(tens & 0xFF);
        report[5] = static_cast<std::uint8_t>(ones & 0xFF);
    }
    return report;
}

TemperatureReport BuildTickReport(const SensorSnapshot* snapshot, const DisplaySettings& settings)
{
    const std::int32_t cpu = snapshot ? snapshot->CpuDegrees() : 0;
    const std::int32_t gpu = snapshot ? snapshot->GpuDegrees() : 0;
    return BuildTemperatureReport(ChooseDisplayValue(cpu, gpu, settings), settings.ledSwitch);
}

VersionReport BuildVersionRequest()
{
    VersionReport request{};
    request[0] = kDisplayReportId;
    request[1] = kReadVersionCommand;
    return request;
}

bool IsVersionReply(const VersionReport& reply)
{
    return reply[0] == kDisplayReportId;
}

int DecodeFirmwareVersion(const VersionReport& reply)
{
    return (reply[1] << 8) | reply[2];
}
