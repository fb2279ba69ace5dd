#include "linux/tool/ToolCommands.h"

#include "linux/devices/AttachedDisplays.h"
#include "linux/settings/DisplaySettingsText.h"
#include "linux/settings/TextFile.h"
#include "linux/status/DaemonStatus.h"
#include "linux/tool/ToolCommandLine.h"

#include <cerrno>
#include <csignal>
#include <hidapi.h>
#include <sys/stat.h>

namespace
{
bool ReadRunningDaemon(const InstancePaths& paths, DaemonStatus& status)
{
    std::string text;
    std::string error;
    if (!ReadTextFile(paths.status, text, error))
    {
        return false;
    }
    status = ParseDaemonStatus(text);
    // EPERM: alive, but another user's process (the service user).
    return status.pid > 0 && (kill(static_cast<pid_t>(status.pid), 0) == 0 || errno == EPERM);
}

std::string Narrow(const wchar_t* text)
{
    std::string narrow;
    for (; text && *text; ++text)
    {
        narrow += (*text >= 0x20 && *text < 0x7F) ? static_cast<char>(*text) : '?';
    }
    return narrow;
}
} // namespace

int ShowStatus(const InstancePaths& paths, std::ostream& out, std::ostream& err)
{
    DaemonStatus status;
    if (!ReadRunningDaemon(paths, status))
    {
        err << "kelvanectl: kelvaned is not running (no live status in " << paths.status << ").\n"
            << "Start the service with 'sudo systemctl start kelvaned', or run 'kelvaned --user' and use "
               "'kelvanectl --user status'.\n";
        return kExitNotRunning;
    }
    out << "kelvaned running (pid " << status.pid << ")\n"
        << "  config:   " << status.config << "\n"
        << "  settings: " << status.settings << "\n";
    for (const std::string& problem : status.configProblems)
    {
        out << "  config problem: " << problem << "\n";
    }
    out << "  cpu:      " << status.cpuSensor << ": " << status.cpuReading << "\n"
        << "  gpu:      " << status.gpuSensor << ": " << status.gpuReading << "\n"
        << "  shows:    " << status.shows << "\n"
        << "  hot-plug: " << status.hotplug << "\n";
    if (status.displays.empty())
    {
        out << "  displays: none attached\n";
    }
    else
    {
        out << "  displays: " << status.displays.size() << " attached\n";
        for (const DisplayStatus& display : status.displays)
        {
            out << "    " << display.path << "  \"" << display.product << "\"  firmware " << display.firmware
                << "  shows " << display.shows << "\n";
        }
    }
    for (const std::string& problem : status.problems)
    {
        out << "  problem:  " << problem << "\n";
    }
    return kExitOk;
}

int ListDisplays(std::ostream& out, std::ostream& err)
{
    if (hid_init() != 0)
    {
        err << "kelvanectl: hidapi could not start; is libhidapi-hidraw0 installed?\n";
        return kExitFailed;
    }
    int count = 0;
    hid_device_info* all = hid_enumerate(kDisplayVendor, kDisplayProduct);
    for (const hid_device_info* info = all; info; info = info->next)
    {
        if (info->usage_page == kDisplayUsagePage && info->usage == kDisplayUsage && info->path)
        {
            out << info->path << "  \"" << Narrow(info->product_string) << "\"  release 0x" << std::hex
                << info->release_number << std::dec << "\n";
            ++count;
        }
    }
    hid_free_enumeration(all);
    hid_exit();
    if (count == 0)
    {
        err << "kelvanectl: no display attached\n";
    }
    return kExitOk;
}

int ChangeSetting(const InstancePaths& paths, bool user, const std::string& key, const std::string& value,
                  std::ostream& out, std::ostream& err)
{
    std::string text;
    std::string error;
    int errorNumber = 0;
    if (!ReadTextFile(paths.config, text, error, &errorNumber) && errorNumber != ENOENT)
    {
        err << "kelvanectl: " << error << "\n";
        return kExitFailed;
    }
    SettingsParseResult parsed = ParseSettingsText(text);
    for (const std::string& problem : parsed.problems)
    {
        err << "kelvanectl: " << paths.config << ": " << problem << " (rewritten with the default)\n";
    }
    std::string problem;
    if (!ApplySetting(key, value, parsed.settings, problem))
    {
        err << "kelvanectl: " << problem << "\n";
        return kExitUsage;
    }
    const auto slash = paths.config.rfind('/');
    if (user && slash != std::string::npos && slash > 0)
    {
        mkdir(paths.config.substr(0, slash).c_str(), 0700); // a fresh account may have no ~/.config yet
    }
    if (!ReplaceTextFile(paths.config, FormatSettingsText(parsed.settings), 0644, error, &errorNumber))
    {
        err << "kelvanectl: " << error << "\n";
        if (errorNumber == EACCES || errorNumber == EPERM || errorNumber == EROFS)
        {
            err << (user ? "Check the permissions of that folder.\n"
                         : "The service's settings belong to root: run it with sudo, or use --user for a "
                           "daemon of your own.\n");
        }
        return kExitFailed;
    }
    DaemonStatus status;
    out << DescribeSettings(parsed.settings) << "\n";
    if (!ReadRunningDaemon(paths, status))
    {
        out << "saved in " << paths.config << "; kelvaned is not running, it applies them when it starts\n";
    }
    return kExitOk;
}
