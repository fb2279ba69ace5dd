#include "linux/settings/ConfigFileMonitor.h"

#include <cstring>
#include <sys/inotify.h>

ConfigFileMonitor::ConfigFileMonitor(const std::string& path)
{
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    m_name = slash == std::string::npos ? path : path.substr(slash + 1);
    UniqueFd fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (fd && inotify_add_watch(fd.get(), folder.c_str(),
                                IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE) >= 0)
    {
        m_fd = std::move(fd);
    }
}

bool ConfigFileMonitor::Drain()
{
    bool named = false;
    alignas(inotify_event) char buffer[4096];
    for (;;)
    {
        const ssize_t got = read(m_fd.get(), buffer, sizeof buffer);
        if (got <= 0)
        {
            return named;
        }
        for (ssize_t at = 0; at < got;)
        {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->len > 0 && m_name == event->name)
            {
                named = true;
            }
            if (event->mask & IN_Q_OVERFLOW)
            {
                named = true; // events were lost; look at the file to be sure
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}
