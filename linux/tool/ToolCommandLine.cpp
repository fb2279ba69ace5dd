#include "linux/tool/ToolCommandLine.h"

#include "linux/settings/DisplaySettingsText.h"

const char kToolUsage[] =
    "Usage: kelvanectl [--user] [--config FILE] [--status FILE] COMMAND\n"
    "Shows and changes what the cooler's display shows.\n"
    "\n"
    "Commands:\n"
    "  status                 readings, chosen sensors, displays and what they show\n"
    "  list                   attached displays\n"
    "  set led on|off         digits lit or blank\n"
    "  set source cpu|gpu     which temperature the display shows\n"
    "  set unit c|f           Celsius or Fahrenheit\n"
    "\n"
    "Options:\n"
    "  --user                 talk to a daemon run by this user (kelvaned --user) instead of the\n"
    "                         service: $XDG_CONFIG_HOME/kelvane.conf, $XDG_RUNTIME_DIR/kelvane-status\n"
    "  --config FILE          settings file (service: /etc/kelvane.conf)\n"
    "  --status FILE          daemon status file (service: /run/kelvane/status)\n"
    "  -h, --help, --version\n"
    "\n"
    "Exit status: 0 done, 1 failed (the message says why), 2 bad command line,\n"
    "3 daemon not running (status).\n";

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
        else if (argument == "--config" || argument == "--status")
        {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty())
            {
                line.error = argument + " needs a file name";
                return line;
            }
            (argument == "--config" ? line.config : line.status) = arguments[++i];
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
        else if (argument.size() > 1 && argument[0] == '-')
        {
            line.error = "unknown option '" + argument + "'";
            return line;
        }
        else
            words.push_back(argument);
    }
    if (words.empty())
    {
        line.error = "no command given";
        return line;
    }
    const std::string& command = words[0];
    const std::size_t expected = command == "set" ? 3 : 1;
    if (command == "help")
        line.command = ToolCommandLine::Command::Help;
    else if (command == "status")
        line.command = ToolCommandLine::Command::Status;
    else if (command == "list")
        line.command = ToolCommandLine::Command::List;
    else if (command == "set")
        line.command = ToolCommandLine::Command::Set;
    else
    {
        line.error = "unknown command '" + command + "'";
        return line;
    }
    if (words.size() != expected && command != "help")
    {
        line.error = command == "set" ? "set takes a setting and a value, for example: set unit f"
                                      : command + " takes no arguments";
        return line;
    }
    if (line.command == ToolCommandLine::Command::Set)
    {
        line.key = words[1];
        line.value = words[2];
        DisplaySettings probe;
        std::string problem;
        if (!ApplySetting(line.key, line.value, probe, problem))
        {
            line.error = problem;
        }
    }
    return line;
}
