#include "linux/daemon/DaemonOptions.h"

const char kDaemonUsage[] =
    "Usage: kelvaned [OPTIONS]\n"
    "Feeds the cooler's displays with the CPU or GPU temperature once a second.\n"
    "\n"
    "  --system          the service: /etc/kelvane.conf, lock and status in /run/kelvane\n"
    "  --user            a user's own daemon (default): $XDG_CONFIG_HOME/kelvane.conf\n"
    "                    (~/.config), lock and status in $XDG_RUNTIME_DIR/kelvane; it does\n"
    "                    not start while the service runs\n"
    "  --config FILE     read the settings from FILE\n"
    "  --runtime-dir DIR keep the lock and the status in DIR\n"
    "  --status FILE     publish the status in FILE\n"
    "  --system-runtime-dir DIR\n"
    "                    where a user daemon looks for the service's lock (/run/kelvane)\n"
    "  --sysfs DIR       read the sensors below DIR instead of /sys\n"
    "  --hotplug MODE    auto (default), udev, or poll (check once a second)\n"
    "  --help, --version\n"
    "\n"
    "Change the settings with kelvanectl; the daemon applies them within a second.\n"
    "Exit status: 0 stopped by SIGTERM or SIGINT, 1 could not start (for instance already\n"
    "running), 2 bad command line.\n";

DaemonOptions ParseDaemonOptions(const std::vector<std::string>& arguments)
{
    DaemonOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string& argument = arguments[i];
        auto value = [&](std::string& into)
        {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty())
            {
                options.error = argument + " needs a value";
                return false;
            }
            into = arguments[++i];
            return true;
        };
        if (argument == "--help" || argument == "-h")
            options.help = true;
        else if (argument == "--version")
            options.version = true;
        else if (argument == "--system")
            options.system = true;
        else if (argument == "--user")
            options.system = false;
        else if (argument == "--config")
        {
            if (!value(options.config))
                return options;
        }
        else if (argument == "--status")
        {
            if (!value(options.status))
                return options;
        }
        else if (argument == "--runtime-dir")
        {
            if (!value(options.runtimeDir))
                return options;
        }
        else if (argument == "--system-runtime-dir")
        {
            if (!value(options.systemRuntimeDir))
                return options;
        }
        else if (argument == "--sysfs")
        {
            if (!value(options.sysfs))
                return options;
        }
        else if (argument == "--hotplug")
        {
            std::string mode;
            if (!value(mode))
                return options;
            if (mode == "auto")
                options.hotplug = HotplugMode::Automatic;
            else if (mode == "udev")
                options.hotplug = HotplugMode::Udev;
            else if (mode == "poll")
                options.hotplug = HotplugMode::Poll;
            else
            {
                options.error = "--hotplug takes auto, udev or poll, not '" + mode + "'";
                return options;
            }
        }
        else
        {
            options.error = "unknown option '" + argument + "'";
            return options;
        }
    }
    return options;
}
