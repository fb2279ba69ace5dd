#include "linux/daemon/DaemonLog.h"
#include "linux/daemon/DaemonOptions.h"
#include "linux/daemon/DisplayDaemon.h"
#include "linux/daemon/InstanceLock.h"
#include "ProgramVersion.h"

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

void SayAlreadyRunning(DaemonLog& log, long pid, const char* hint)
{
    log.Line(LogPriority::Error, "kelvaned is already running (pid " +
                                     (pid > 0 ? std::to_string(pid) : std::string("unknown")) + ")");
    log(LogPriority::Error, hint);
}

// Everything a daemon needs before it may touch a display; false (said why) when it must not run.
bool ClaimInstance(const InstancePaths& paths, InstanceLock& lock, DaemonLog& log)
{
    if (paths.config.empty() || paths.runtimeDir.empty())
    {
        log(LogPriority::Error, paths.config.empty() ? paths.configProblem : paths.runtimeProblem);
        return false;
    }
    long holder = 0;
    if (!paths.serviceLock.empty() && InstanceLock::IsHeld(paths.serviceLock, holder))
    {
        SayAlreadyRunning(
            log, holder,
            "the service feeds the displays; change its settings with kelvanectl (without --user), "
            "or stop it first with 'sudo systemctl stop kelvaned'");
        return false;
    }
    std::string error;
    if (!PrepareRuntimeFolder(paths.runtimeDir, paths.system ? 0755 : 0700, error))
    {
        log(LogPriority::Error, error);
        return false;
    }
    switch (lock.Take(paths.lock, error))
    {
    case InstanceLock::Outcome::Held:
        return true;
    case InstanceLock::Outcome::Busy:
        SayAlreadyRunning(log, lock.HolderPid(),
                          "it feeds the displays; change its settings with kelvanectl");
        return false;
    case InstanceLock::Outcome::Failed:
        log(LogPriority::Error, error);
        return false;
    }
    return false;
}
} // namespace

int main(int argc, char** argv)
{
    DaemonLog log(std::cerr, DaemonLog::StandardErrorIsJournal());
    const DaemonOptions options = ParseDaemonOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.error.empty())
    {
        log(LogPriority::Error, options.error);
        log.Line(LogPriority::Error, "Try 'kelvaned --help'.");
        return 2;
    }
    if (options.help)
    {
        std::cout << kDaemonUsage;
        return 0;
    }
    if (options.version)
    {
        std::cout << "kelvaned " TK_VERSION_TEXT "\n";
        return 0;
    }
    InstancePaths paths = options.system ? SystemInstancePaths() : UserInstancePathsFromEnvironment();
    OverrideInstancePaths(paths, options.config, options.runtimeDir, options.status,
                          options.systemRuntimeDir);
    InstanceLock lock; // outlives the daemon, which removes its status file first
    if (!ClaimInstance(paths, lock, log))
    {
        return 1;
    }
    Handle(SIGTERM, OnStop);
    Handle(SIGINT, OnStop);
    Handle(SIGHUP, OnHangup);
    DisplayDaemon daemon(options, paths, log);
    return daemon.Run(g_stop, g_rediscover);
}
