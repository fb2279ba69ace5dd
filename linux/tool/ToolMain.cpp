#include "linux/settings/InstancePaths.h"
#include "linux/tool/ToolCommandLine.h"
#include "linux/tool/ToolCommands.h"
#include "ProgramVersion.h"

#include <iostream>

int main(int argc, char** argv)
{
    const ToolCommandLine line = ParseToolCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!line.error.empty())
    {
        std::cerr << "kelvanectl: " << line.error << "\nTry 'kelvanectl --help'.\n";
        return kExitUsage;
    }
    InstancePaths paths = line.user ? UserInstancePathsFromEnvironment() : SystemInstancePaths();
    OverrideInstancePaths(paths, line.config, "", line.status);
    switch (line.command)
    {
    case ToolCommandLine::Command::Help:
        std::cout << kToolUsage;
        return kExitOk;
    case ToolCommandLine::Command::Version:
        std::cout << "kelvanectl " TK_VERSION_TEXT "\n";
        return kExitOk;
    case ToolCommandLine::Command::Status:
        return ShowStatus(paths, line.json, std::cout, std::cerr);
    case ToolCommandLine::Command::List:
        return ListDisplays(line.json, std::cout, std::cerr);
    case ToolCommandLine::Command::Sensors:
        return ShowSensors(paths, line.sysfs, line.json, std::cout, std::cerr);
    case ToolCommandLine::Command::Set:
        return ChangeSetting(paths, line.sysfs, line.key, line.value, std::cout, std::cerr);
    }
    return kExitUsage;
}
