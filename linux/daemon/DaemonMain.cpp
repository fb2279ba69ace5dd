#include "linux/daemon/DaemonOptions.h"
#include "linux/daemon/DisplayDaemon.h"

#include <csignal>
#include <iostream>

namespace
{
volatile std::sig_atomic_t g_stop = 0;
volatile std::sig_atomic_t g_rediscover = 0;

void OnStop(int)
{
    g_stop = 1;
}

void OnHangup(int)
{
    g_rediscover = 1;
}

void Handle(int signal, void (*handler)(int))
{
    struct sigaction action
    {
    };
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: poll() must return so the loop sees the flag
    sigaction(signal, &action, nullptr);
}
} // namespace

int main(int argc, char** argv)
{
    const DaemonOptions options = ParseDaemonOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.error.empty())
    {
        std::cerr << "kelvaned: " << options.error << "\n" << kDaemonUsage;
        return 2;
    }
    if (options.help)
    {
        std::cout << kDaemonUsage;
        return 0;
    }
    if (options.version)
    {
        std::cout << "kelvaned " KELVANE_VERSION "\n";
        return 0;
    }
    InstancePaths paths = options.system ? SystemInstancePaths() : UserInstancePathsFromEnvironment();
    if (!options.config.empty())
    {
        paths.config = options.config;
    }
    if (!options.status.empty())
    {
        paths.status = options.status;
    }
    Handle(SIGTERM, OnStop);
    Handle(SIGINT, OnStop);
    Handle(SIGHUP, OnHangup);
    DisplayDaemon daemon(options, paths, std::cerr);
    return daemon.Run(g_stop, g_rediscover);
}
