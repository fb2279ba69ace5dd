#include "linux/tool/ToolCommands.h"

#include "linux/sensors/SensorDiscovery.h"
#include "linux/platform/SafeText.h"
#include "linux/status/DaemonStatus.h"
#include "linux/status/JsonWriter.h"
#include "linux/tool/ToolCommandLine.h"
#include "linux/tool/ToolFiles.h"

#include <cstdio>
#include <iomanip>

namespace
{
// What one side uses by the daemon's rule: the chosen sensor, present or not, or the automatic one.
struct SideChoice
{
    std::string chosen; // "auto" or the id
    std::string inUse;  // empty: none
    bool missing = false;
};

SideChoice Decide(const std::string& chosen, const SensorCandidate* automatic,
                  const std::vector<SensorCandidate>& candidates)
{
    SideChoice side;
    side.chosen = chosen.empty() ? "auto" : chosen;
    side.inUse = chosen.empty() ? (automatic ? automatic->id : "") : chosen;
    side.missing = !chosen.empty() && !FindSensor(candidates, chosen);
    return side;
}

std::string Describe(const char* key, const SideChoice& side)
{
    std::string text = std::string(key) + ": " + EscapeControls(side.chosen);
    if (side.missing)
        return text + ": missing; the display shows 0 for it until it appears";
    if (side.chosen == "auto")
        return text + " (" + (side.inUse.empty() ? "none found" : EscapeControls(side.inUse)) + ")";
    return text;
}
} // namespace

int ShowSensors(const InstancePaths& paths, const std::string& sysfs, bool json, std::ostream& out,
                std::ostream& err)
{
    if (paths.config.empty())
    {
        err << "kelvanectl: " << paths.configProblem << "\n";
        return kExitFailed;
    }
    SettingsFile settings;
    std::string error;
    if (!ReadSettingsFile(paths.config, settings, error))
    {
        err << "kelvanectl: " << error << " (the defaults apply)\n";
    }
    const DaemonSettings& chosen = settings.parsed.settings;
    const NvmlLibrary nvml;
    const std::vector<SensorCandidate> candidates = ListSensorCandidates(sysfs, &nvml);
    const SideChoice cpu = Decide(chosen.cpuSensor, AutoCpuSensor(candidates), candidates);
    const SideChoice gpu = Decide(chosen.gpuSensor, AutoGpuSensor(candidates), candidates);

    JsonWriter document;
    document.BeginObject().Key("sensors").BeginArray();
    if (!json)
    {
        out << std::left << std::setw(32) << "SENSOR" << std::setw(14) << "READING"
            << "IN USE\n";
    }
    const std::shared_ptr<const NvmlLibrary> unowned(&nvml, [](const NvmlLibrary*) {});
    for (const SensorCandidate& candidate : candidates)
    {
        const SensorReading reading = OpenSensor(candidate, unowned)->Read();
        std::string use = candidate.id == cpu.inUse ? "cpu" : "";
        use += candidate.id == gpu.inUse ? (use.empty() ? "gpu" : ", gpu") : "";
        document.BeginObject().Key("id").String(candidate.id).Key("driver").String(candidate.driver);
        document.Key("label")
            .String(candidate.label)
            .Key("celsius")
            .OptionalNumber(reading.valid, reading.celsius);
        document.Key("problem").OptionalString(reading.problem).Key("in_use").BeginArray();
        if (candidate.id == cpu.inUse)
        {
            document.String("cpu");
        }
        if (candidate.id == gpu.inUse)
        {
            document.String("gpu");
        }
        document.EndArray().EndObject();
        if (!json)
        {
            const std::string value =
                reading.valid ? FormatCelsiusNumber(reading.celsius) + " C" : "no reading";
            out << std::setw(32) << EscapeControls(candidate.id) << " " << std::setw(13) << value << use
                << "\n";
        }
    }
    document.EndArray();
    const auto side = [&](const char* key, const SideChoice& choice)
    {
        document.Key(key).BeginObject().Key("chosen").String(choice.chosen);
        document.Key("in_use").OptionalString(choice.inUse).Key("missing").Bool(choice.missing).EndObject();
    };
    side("cpu", cpu);
    side("gpu", gpu);
    if (json)
    {
        out << document.EndObject().Text();
        return kExitOk;
    }
    if (candidates.empty())
    {
        out << "(this machine publishes no temperature in " << EscapeControls(sysfs) << " or through NVML)\n";
    }
    out << Describe("cpu-sensor", cpu) << "\n" << Describe("gpu-sensor", gpu) << "\n";
    return kExitOk;
}
