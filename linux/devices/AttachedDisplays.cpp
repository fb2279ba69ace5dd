#include "linux/devices/AttachedDisplays.h"

#include "linux/devices/FeatureReportLength.h"
#include "linux/devices/HidDeviceList.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace
{
struct ListedDisplay
{
    std::string path;
    unsigned short release;
};

std::vector<ListedDisplay> ListDisplays()
{
    std::vector<ListedDisplay> listed;
    const HidDeviceList all(hid_enumerate(kDisplayVendorId, kDisplayProductId));
    for (const hid_device_info* info = all.get(); info; info = info->next)
    {
        if (info->usage_page != kDisplayUsagePage || info->usage != kDisplayUsage || !info->path)
        {
            continue;
        }
        const bool seen = std::any_of(listed.begin(), listed.end(),
                                      [&](const ListedDisplay& d) { return d.path == info->path; });
        if (!seen)
        {
            listed.push_back({info->path, info->release_number});
        }
    }
    return listed;
}
} // namespace

std::string ExplainOpenFailure(const std::string& path)
{
    if (access(path.c_str(), R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM))
    {
        return "cannot open " + path +
               ": permission denied. The udev rule 70-kelvane.rules (installed with the package in "
               "/lib/udev/rules.d) grants access; after installing it run 'udevadm control --reload' and "
               "'udevadm trigger --subsystem-match=hidraw', or replug the display";
    }
    return "cannot open " + path + ": the display is busy or went away";
}

bool AttachedDisplays::Open(const std::string& path, unsigned short release, Entry& entry,
                            std::string& problem)
{
    switch (entry.lock.Take(path))
    {
    case NodeLock::Outcome::Busy:
        problem = "display " + path +
                  " is fed by another kelvaned (the service or another user's); this one takes it over when "
                  "that one stops";
        return false;
    case NodeLock::Outcome::Failed:
        problem = ExplainOpenFailure(path);
        return false;
    case NodeLock::Outcome::Locked:
        break;
    }
    HidDevice device(hid_open_path(path.c_str()));
    if (!device)
    {
        problem = ExplainOpenFailure(path);
        return false;
    }
    const std::size_t featureLength =
        DeclaredFeatureLength(ReadReportDescriptor(m_sysfs, path), kDisplayReportId);
    entry.connection = std::make_unique<DisplayConnection>(std::move(device), path, release, featureLength);
    entry.firmware = FormatFirmwareVersion(entry.connection->ReadFirmwareVersion());
    entry.shows = "nothing yet";
    entry.failing = false;
    return true;
}

void AttachedDisplays::Scan()
{
    const std::vector<ListedDisplay> listed = ListDisplays();
    // The usual case when checking every tick: the same healthy displays as before.
    const bool unchanged = m_problems.empty() && listed.size() == m_displays.size() &&
                           std::equal(listed.begin(), listed.end(), m_displays.begin(),
                                      [this](const ListedDisplay& l, const Entry& e) {
                                          return !e.failing && l.path == e.connection->Path() &&
                                                 (m_scannedEveryTick || !e.lock.Replaced(l.path));
                                      });
    if (unchanged)
    {
        return;
    }
    // A display another daemon feeds is looked at every tick: the status is written again only
    // when something it shows changed.
    bool changed = false;
    std::vector<Entry> kept;
    for (Entry& entry : m_displays)
    {
        const std::string path = entry.connection->Path();
        const auto found = std::find_if(listed.begin(), listed.end(),
                                        [&](const ListedDisplay& d) { return d.path == path; });
        if (found == listed.end())
        {
            m_log(LogPriority::Info, "display removed: " + path);
            changed = true;
            continue;
        }
        const bool replaced = entry.lock.Replaced(path);
        if (entry.failing || replaced)
        {
            changed = true;
            entry.connection.reset(); // the old handle is dead; a fresh one may work
            entry.lock = NodeLock();
            std::string problem;
            if (!Open(path, found->release, entry, problem))
            {
                m_log(LogPriority::Warning, "display dropped: " + problem);
                continue;
            }
            m_log(LogPriority::Info,
                  std::string(replaced ? "display added again, reopened: " : "display reopened: ") + path);
        }
        kept.push_back(std::move(entry));
    }
    m_displays = std::move(kept);

    const std::vector<std::string> problemsBefore = std::move(m_problems);
    m_problems.clear();
    std::set<std::string> reported;
    for (const ListedDisplay& display : listed)
    {
        const bool open = std::any_of(m_displays.begin(), m_displays.end(),
                                      [&](const Entry& e) { return e.connection->Path() == display.path; });
        if (open)
        {
            continue;
        }
        Entry entry;
        std::string problem;
        if (Open(display.path, display.release, entry, problem))
        {
            m_log(LogPriority::Info, "display attached: " + display.path + " \"" +
                                         entry.connection->Product() + "\" firmware " + entry.firmware);
            m_displays.push_back(std::move(entry));
            changed = true;
        }
        else
        {
            m_problems.push_back(problem);
            reported.insert(problem);
            if (m_reportedProblems.count(problem) == 0)
            {
                m_log(LogPriority::Warning, problem);
            }
        }
    }
    m_reportedProblems = std::move(reported);
    if (changed || m_problems != problemsBefore)
    {
        ++m_changes;
    }
}

void AttachedDisplays::SendToAll(const TemperatureReport& report, const std::string& shows)
{
    for (Entry& entry : m_displays)
    {
        if (entry.connection->Send(report))
        {
            if (entry.failing || entry.shows != shows)
            {
                entry.shows = shows;
                entry.failing = false;
                ++m_changes;
            }
            continue;
        }
        if (!entry.failing)
        {
            m_log(LogPriority::Warning, "display " + entry.connection->Path() +
                                            " did not take the report: " + entry.connection->LastError());
        }
        const std::string failed = "not reached: " + entry.connection->LastError();
        if (!entry.failing || entry.shows != failed)
        {
            entry.failing = true;
            entry.shows = failed;
            ++m_changes;
        }
    }
}

bool AttachedDisplays::NeedsRescan() const
{
    return !m_problems.empty() ||
           std::any_of(m_displays.begin(), m_displays.end(), [](const Entry& e) { return e.failing; });
}

std::vector<DisplayStatus> AttachedDisplays::Status() const
{
    std::vector<DisplayStatus> status;
    for (const Entry& entry : m_displays)
    {
        status.push_back(
            {entry.connection->Path(), entry.connection->Product(), entry.firmware, entry.shows});
    }
    return status;
}
