#include "linux/tool/ToolCommandLine.h"

#include "linux/settings/DisplaySettingsText.h"
#include "linux/platform/SafeText.h"

const char kToolUsage[] =
    "Usage: kelvanectl [OPTIONS] COMMAND\n"
    "Shows and changes what the cooler's display shows.\n"
    "\n"
    "Commands:\n"
    "  status                 readings, sensors in use, displays and what they show\n"
    "  list                   attached displays\n"
    "  sensors                every temperature sensor: id, reading, which one is in use\n"
    "  set led on|off         digits lit or blank\n"
    "  set source cpu|gpu     which temperature the display shows\n"
    "  set unit c|f           Celsius or Fahrenheit\n"
    "  set cpu-sensor ID|auto the CPU sensor, by the id 'sensors' shows (auto: the usual one)\n"
    "  set gpu-sensor ID|auto the GPU sensor, likewise\n"
    "\n"
    "Options:\n"
    "  --user                 talk to a daemon run by this user (kelvaned --user) instead of the\n"
    "                         service: $XDG_CONFIG_HOME/kelvane.conf, $XDG_RUNTIME_DIR/kelvane/status\n"
    "  --config FILE          settings file (service: /etc/kelvane.conf)\n"
    "  --status FILE          daemon status file (service: /run/kelvane/status)\n"
    "  --sysfs DIR            read the sensors below DIR instead of /sys\n"
    "  --json                 status, sensors, list: one JSON document on standard output\n"
    "  -h, --help, --version\n"
    "\n"
    "Exit status: 0 done, 1 failed (the message says why), 2 bad command line or no such\n"
    "sensor, 3 daemon not running (status).\n";

namespace
{
bool IsSensorKey(const std::string& key)
{
    return key == "cpu-sensor" || key == "gpu-sensor";
}

// Words after the command: "set" takes a key and a value (a sensor id may be given unquoted,
// "coretemp/Package id 0" arrives as three words), the others none.
void TakeArguments(ToolCommandLine& line, const std::vector<std::string>& words)
{
    const std::string& command = words[0];
    if (line.command != ToolCommandLine::Command::Set)
    {
        if (words.size() != 1 && line.command != ToolCommandLine::Command::Help)
        {
            line.error = command + " takes no arguments";
        }
        return;
    }
    if (words.size() < 3 || (words.size() > 3 && !IsSensorKey(words[1])))
    {
        line.error = "set takes a setting and a value, for example: set unit f";
        return;
    }
    line.key = words[1];
    line.value = words[2];
    for (std::size_t i = 3; i < words.size(); ++i)
    {
        line.value += " " + words[i];
    }
    DaemonSettings probe;
    std::string problem;
    if (!ApplySetting(line.key, line.value, probe, problem))
    {
        line.error = problem;
    }
}
} // namespace

ToolCommandLine ParseToolCommandLine(const std::vector<std::string>& arguments)
{
    ToolCommandLine line;
    std::vector<std::string> words;
    for (std::size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string& argument = arguments[i];
        if (argument == "--user")
            line.user = true;
        else if (argument == "--system")
            line.user = false;
        else if (argument == "--json")
            line.json = true;
        else if (argument == "--config" || argument == "--status" || argument == "--sysfs")
        {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty())
            {
                line.error = argument + (argument == "--sysfs" ? " needs a folder" : " needs a file name");
                return line;
            }
            (argument == "--config"   ? line.config
             : argument == "--status" ? line.status
                                      : line.sysfs) = arguments[++i];
        }
        else if (argument == "-h" || argument == "--help")
        {
            line.command = ToolCommandLine::Command::Help;
            return line;
        }
        else if (argument == "--version")
        {
            line.command = ToolCommandLine::Command::Version;
            return line;
        }
        else if (argument.size() > 1 && argument[0] == '-' && words.size() < 2)
        {
            line.error = "unknown option '" + QuoteValue(argument) + "'";
            return line;
        }
        else
            words.push_back(argument); // after "set KEY", a word may start with '-' (a label)
    }
    if (words.empty())
    {
        line.error = "no command given";
        return line;
    }
    const std::string& command = words[0];
    if (command == "help")
        line.command = ToolCommandLine::Command::Help;
    else if (command == "status")
        line.command = ToolCommandLine::Command::Status;
    else if (command == "list")
        line.command = ToolCommandLine::Command::List;
    else if (command == "sensors")
        line.command = ToolCommandLine::Command::Sensors;
    else if (command == "set")
        line.command = ToolCommandLine::Command::Set;
    else
    {
        line.error = "unknown command '" + QuoteValue(command) + "'";
        return line;
    }
    TakeArguments(line, words);
    if (line.error.empty() && line.json && line.command == ToolCommandLine::Command::Set)
    {
        line.error = "--json goes with status, sensors or list";
    }
    return line;
}
