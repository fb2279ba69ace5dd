#include "linux/daemon/ServiceNotifier.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <systemd/sd-daemon.h>
#include <type_traits>

namespace
{
constexpr std::uint64_t kTickMicroseconds = 1000000;
constexpr char kLibrary[] = "libsystemd.so.0";
} // namespace

// Checked against libsystemd's own declaration, so a changed signature fails the build.
static_assert(std::is_same_v<decltype(&sd_notify), int (*)(int, const char*)>);

ServiceNotifier::ServiceNotifier(std::function<void(const std::string&)> log) : m_log(std::move(log))
{
    const char* socket = std::getenv("NOTIFY_SOCKET");
    if (!socket || !*socket)
    {
        return; // not started by a service manager that waits for readiness
    }
    m_library.reset(dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL));
    const auto watchdogEnabled =
        m_library
            ? reinterpret_cast<decltype(&sd_watchdog_enabled)>(dlsym(m_library.get(), "sd_watchdog_enabled"))
            : nullptr;
    m_notify = m_library ? reinterpret_cast<NotifyFn>(dlsym(m_library.get(), "sd_notify")) : nullptr;
    if (!m_notify || !watchdogEnabled)
    {
        const char* why = dlerror();
        m_log(std::string("NOTIFY_SOCKET is set but ") + kLibrary + " cannot be used (" +
              (why ? why : "sd_notify missing") +
              "); the service manager will not hear that the daemon is ready");
        m_notify = nullptr;
        return;
    }
    std::uint64_t interval = 0;
    m_watchdog = watchdogEnabled(0, &interval) > 0;
    if (m_watchdog && interval < 2 * kTickMicroseconds)
    {
        m_log("the watchdog interval of " + std::to_string(interval / 1000) +
              " ms is under two ticks; a healthy daemon may be restarted (WatchdogSec= of 2 s or more)");
    }
}

void ServiceNotifier::Send(const std::string& state)
{
    if (!m_notify)
    {
        return;
    }
    const int result = m_notify(0, state.c_str());
    if (result < 0 && !m_reportedFailure)
    {
        m_log("cannot tell the service manager " + state.substr(0, state.find('\n')) + ": " +
              std::strerror(-result) + " (error " + std::to_string(-result) + ")");
    }
    m_reportedFailure = result < 0;
}

void ServiceNotifier::TickDone()
{
    if (!m_ready)
    {
        m_ready = true;
        Send("READY=1");
    }
    else if (m_watchdog)
    {
        Send("WATCHDOG=1");
    }
}

void ServiceNotifier::Reloading()
{
    // systemd 253 and later match a reload by the monotonic time it was asked for.
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const unsigned long long microseconds = static_cast<unsigned long long>(now.tv_sec) * 1000000ULL +
                                            static_cast<unsigned long long>(now.tv_nsec) / 1000;
    m_ready = false;
    Send("RELOADING=1\nMONOTONIC_USEC=" + std::to_string(microseconds));
}

void ServiceNotifier::Stopping()
{
    Send("STOPPING=1");
}
