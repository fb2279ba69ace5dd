#pragma once

#include "linux/platform/LoadedLibrary.h"

#include <functional>
#include <string>

// The daemon's side of systemd's readiness protocol (Type=notify): READY=1 once the first tick has
// fed the displays and published the status, WATCHDOG=1 from every later tick so that a hung loop
// gets the daemon restarted, RELOADING=1 while a SIGHUP's fresh look for sensors runs, STOPPING=1
// on the way out. libsystemd is loaded only when a service manager listens (NOTIFY_SOCKET set):
// with the libraries it pulls in it would add most of a megabyte to every daemon's resident memory.
// Single-threaded: the daemon's loop is its only caller.
class ServiceNotifier
{
public:
    explicit ServiceNotifier(std::function<void(const std::string&)> log);

    // After each tick of the loop: READY=1 the first time and after a reload, else WATCHDOG=1
    // when the unit asked for a watchdog.
    void TickDone();
    void Reloading();
    void Stopping();

private:
    using NotifyFn = int (*)(int, const char*); // sd_notify

    void Send(const std::string& state);

    std::function<void(const std::string&)> m_log;
    LoadedLibrary m_library;
    NotifyFn m_notify = nullptr;
    bool m_watchdog = false;
    bool m_ready = false;
    bool m_reportedFailure = false; // one log line, not one a second
};
