#pragma once

#include "app/device/DisplayIdentity.h"
#include "app/device/DisplayReport.h"
#include "linux/devices/DisplayConnection.h"
#include "linux/devices/DisplayStatus.h"
#include "linux/devices/NodeLock.h"
#include "linux/platform/LogPriority.h"

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

// The displays the daemon feeds, kept in the order hidapi lists them. Messages go to log once per
// change (attached, removed, failing, refused), so an unplugged display cannot fill the journal.
// Each display's node is locked while it is fed (see NodeLock); one another daemon feeds is
// reported as a problem and taken over when that daemon lets it go.
class AttachedDisplays
{
public:
    // sysfsRoot: where the displays' report descriptors are read ("/sys" on a real machine).
    // scannedEveryTick: a replaced node then simply fails its next report and is reopened at the
    // following scan, so the quiet tick's scan spares looking at each node.
    AttachedDisplays(LogFunction log, std::string sysfsRoot, bool scannedEveryTick)
        : m_log(std::move(log)), m_sysfs(std::move(sysfsRoot)), m_scannedEveryTick(scannedEveryTick)
    {
    }

    // Opens displays that appeared, closes those that are gone, reopens those whose last report
    // failed or whose node was replaced (a display the kernel removed and added again under the
    // same node name needs a fresh handle).
    void Scan();
    // A display failed or could not be taken: Scan() again at the next tick even without events.
    bool NeedsRescan() const;
    void SendToAll(const TemperatureReport& report, const std::string& shows);

    bool Empty() const { return m_displays.empty(); }
    // Counts every change Status() or Problems() would show.
    unsigned Changes() const { return m_changes; }
    std::vector<DisplayStatus> Status() const;
    // Displays present that could not be opened, with what to do about it.
    const std::vector<std::string>& Problems() const { return m_problems; }

private:
    struct Entry
    {
        NodeLock lock; // released after the connection closes
        std::unique_ptr<DisplayConnection> connection;
        std::string firmware;
        std::string shows;
        bool failing = false;
    };

    bool Open(const std::string& path, unsigned short release, Entry& entry, std::string& problem);

    LogFunction m_log;
    std::string m_sysfs;
    bool m_scannedEveryTick;
    std::vector<Entry> m_displays;
    std::vector<std::string> m_problems;
    std::set<std::string> m_reportedProblems;
    unsigned m_changes = 0;
};

// Why a display node could not be opened, in words that say what to do.
std::string ExplainOpenFailure(const std::string& path);
