#include "linux/tool/ToolCommands.h"

#include "linux/sensors/SensorCatalog.h"
#include "linux/platform/SafeText.h"
#include "linux/platform/TextFile.h"
#include "linux/tool/ToolCommandLine.h"
#include "linux/tool/ToolFiles.h"

#include <cctype>
#include <cerrno>
#include <sys/stat.h>

namespace
{
// A chosen sensor must be one this machine has; otherwise the ids it has are listed.
bool KnownSensor(const std::string& sysfs, const std::string& id, std::ostream& err)
{
    const NvmlLibrary nvml;
    const std::vector<SensorCandidate> candidates = ListSensorCandidates(sysfs, &nvml);
    if (FindSensor(candidates, id))
    {
        return true;
    }
    err << "kelvanectl: no sensor '" << QuoteValue(id) << "' on this machine; "
        << (candidates.empty() ? "it publishes none (see kelvanectl sensors)" : "its sensors are:") << "\n";
    for (const SensorCandidate& candidate : candidates)
    {
        err << "  " << EscapeControls(candidate.id) << "\n";
    }
    return false;
}
} // namespace

int ChangeSetting(const InstancePaths& paths, const std::string& sysfs, const std::string& key,
                  const std::string& value, std::ostream& out, std::ostream& err)
{
    if (paths.config.empty())
    {
        err << "kelvanectl: " << paths.configProblem << "\n";
        return kExitFailed;
    }
    SettingsFile file;
    std::string error;
    if (!ReadSettingsFile(paths.config, file, error))
    {
        err << "kelvanectl: " << error << "; nothing was changed\n";
        return kExitFailed;
    }
    DaemonSettings probe;
    std::string problem;
    if (!ApplySetting(key, value, probe, problem))
    {
        err << "kelvanectl: " << problem << "\n";
        return kExitUsage;
    }
    std::string canonicalKey; // the command line took it as it was typed: "Unit" is "unit"
    for (char c : key)
    {
        canonicalKey += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    const std::string canonicalValue = SettingValue(probe, canonicalKey);
    if ((canonicalKey == "cpu-sensor" || canonicalKey == "gpu-sensor") && canonicalValue != "auto" &&
        !KnownSensor(sysfs, canonicalValue, err))
    {
        return kExitUsage;
    }
    const std::string text = SetSettingLine(file.text, canonicalKey, canonicalValue);
    if (text.size() > kMaxTextFileBytes)
    {
        err << "kelvanectl: " << EscapeControls(paths.config)
            << " would grow past 64 KiB; nothing was changed\n";
        return kExitFailed;
    }
    const SettingsParseResult parsed = ParseSettingsText(text);
    for (const std::string& line : parsed.problems)
    {
        err << "kelvanectl: " << EscapeControls(paths.config) << ": " << line
            << " (kept; kelvaned ignores it)\n";
    }
    const auto slash = paths.config.rfind('/');
    if (!paths.system && slash != std::string::npos && slash > 0)
    {
        mkdir(paths.config.substr(0, slash).c_str(), 0700); // a fresh account may have no ~/.config yet
    }
    int errorNumber = 0;
    if (!ReplaceTextFile(paths.config, text, file.mode, error, &errorNumber))
    {
        err << "kelvanectl: " << error << "\n";
        if (errorNumber == EACCES || errorNumber == EPERM || errorNumber == EROFS)
        {
            err << (!paths.system
                        ? "Check the permissions of that folder.\n"
                        : "The service's settings belong to root: run it with sudo, or use --user for a "
                          "daemon of your own.\n");
        }
        return kExitFailed;
    }
    out << DescribeSettings(parsed.settings) << "\n";
    DaemonStatus status;
    std::string why;
    if (ReadRunningDaemon(paths, status, why) != DaemonState::Running)
    {
        out << "saved in " << EscapeControls(paths.config)
            << "; kelvaned is not running, it applies them when it starts\n";
    }
    return kExitOk;
}
