#pragma once

#include "tests/linux/SysfsTree.h"

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// One report as the simulated display library recorded it: the caller's bytes, in hex.
struct SentReport
{
    int display = -1;
    int requested = 0; // the length handed to hidapi
    std::string data;
};

// The built daemon running against simulated displays (the stand-in libhidapi-hidraw found first
// on LD_LIBRARY_PATH) and a fake sysfs tree, all inside one scratch folder: a user daemon with its
// runtime folder in run/, looking for the service's lock in service/.
class DaemonRig
{
public:
    explicit DaemonRig(const std::string& simConfig);
    ~DaemonRig() { Stop(); }
    DaemonRig(const DaemonRig&) = delete;
    DaemonRig& operator=(const DaemonRig&) = delete;

    const ScratchFolder& Tree() const { return m_tree; }
    // Replaces the simulator's configuration; "displays=N" plugs and unplugs.
    void SetSimulator(const std::string& text) const;
    // The same simulated displays as other's (its settings and device nodes), as two daemons on one
    // machine see them; reports are still logged per rig.
    void ShareBusWith(const DaemonRig& other) { m_bus = &other.m_tree; }
    // Standard error becomes the journal's stream: JOURNAL_STREAM names it.
    void AsJournal() { m_journal = true; }

    // extra arguments follow the rig's own, so they win ("--hotplug udev").
    void Start(const std::vector<std::string>& extra = {});
    pid_t Pid() const { return m_pid; }
    // SIGTERM and wait; the exit status, or -1 when it was not running.
    int Stop();

    // Temperature reports only (command 0xFF); the version requests are left out.
    std::vector<SentReport> Reports() const;
    // Reports to one display after the first skip ones (all displays counted).
    std::vector<std::string> ReportsTo(int display, std::size_t skip = 0) const;
    std::string DaemonLog() const { return m_tree.Read("daemon.log"); }

    struct ToolResult
    {
        int exitCode = -1;
        std::string output; // stdout and stderr
    };
    // kelvanectl --user against this rig's config, status and sysfs tree.
    ToolResult Tool(const std::string& arguments) const;
    // Another kelvaned with this rig's arguments, run to its end (one that refuses to start).
    ToolResult Daemon(const std::string& arguments = "") const;
    // Any command line, with this rig's simulated displays; output is stdout and stderr.
    ToolResult Run(const std::string& commandLine) const;

private:
    std::vector<std::string> DaemonArguments() const;

    ScratchFolder m_tree;
    const ScratchFolder* m_bus = &m_tree;
    bool m_journal = false;
    pid_t m_pid = 0;
};

// Waits for a condition the daemon brings about in its own time. Generous on purpose: the
// machine is shared, and durations are measured by the benchmarks, not asserted here.
bool Eventually(const std::function<bool()>& condition);
