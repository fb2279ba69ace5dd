#pragma once

#include "tests/linux/SysfsTree.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
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
    explicit DaemonRig(const std::string& simConfig)
    {
        m_tree.Write("dev/.keep", "");
        SetSimulator(simConfig);
    }
    ~DaemonRig() { Stop(); }
    DaemonRig(const DaemonRig&) = delete;
    DaemonRig& operator=(const DaemonRig&) = delete;

    const ScratchFolder& Tree() const { return m_tree; }
    // Replaces the simulator's configuration; "displays=N" plugs and unplugs.
    void SetSimulator(const std::string& text) const
    {
        m_bus->Write("sim.conf.new", text + "\n");
        std::rename(m_bus->Path("sim.conf.new").c_str(), m_bus->Path("sim.conf").c_str());
    }
    // The same simulated displays as other's (its settings and device nodes), as two daemons on one
    // machine see them; reports are still logged per rig.
    void ShareBusWith(const DaemonRig& other) { m_bus = &other.m_tree; }
    // Standard error becomes the journal's stream: JOURNAL_STREAM names it.
    void AsJournal() { m_journal = true; }

    // extra arguments follow the rig's own, so they win ("--hotplug udev").
    void Start(const std::vector<std::string>& extra = {})
    {
        m_pid = fork();
        if (m_pid == 0)
        {
            if (!std::freopen(m_tree.Path("daemon.log").c_str(), "w", stderr))
            {
                _exit(126);
            }
            struct stat log
            {
            };
            if (m_journal && fstat(2, &log) == 0)
            {
                setenv("JOURNAL_STREAM",
                       (std::to_string(log.st_dev) + ":" + std::to_string(log.st_ino)).c_str(), 1);
            }
            std::vector<std::string> words = DaemonArguments();
            words.insert(words.end(), extra.begin(), extra.end());
            std::vector<char*> argv;
            for (std::string& word : words)
            {
                argv.push_back(word.data());
            }
            argv.push_back(nullptr);
            setenv("LD_LIBRARY_PATH", SIM_LIB_DIR, 1);
            setenv("HIDRAWSIM_CONFIG", m_bus->Path("sim.conf").c_str(), 1);
            setenv("HIDRAWSIM_DEVICES", m_bus->Path("dev").c_str(), 1);
            setenv("HIDRAWSIM_LOG", m_tree.Path("sim.log").c_str(), 1);
            execv(KELVANED_PATH, argv.data());
            _exit(127);
        }
    }
    pid_t Pid() const { return m_pid; }

    // SIGTERM and wait; the exit status, or -1 when it was not running.
    int Stop()
    {
        if (m_pid <= 0)
        {
            return -1;
        }
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    // Temperature reports only (command 0xFF); the version requests are left out.
    std::vector<SentReport> Reports() const
    {
        std::vector<SentReport> reports;
        std::ifstream log(m_tree.Path("sim.log"));
        std::string line;
        while (std::getline(log, line))
        {
            if (line.rfind("set ", 0) != 0)
            {
                continue;
            }
            SentReport report;
            std::sscanf(line.c_str(), "set display=%d requested=%d", &report.display, &report.requested);
            report.data = line.substr(line.find("data=") + 5);
            if (report.data.rfind("07ff", 0) == 0)
            {
                reports.push_back(report);
            }
        }
        return reports;
    }
    // Reports to one display after the first skip ones (all displays counted).
    std::vector<std::string> ReportsTo(int display, std::size_t skip = 0) const
    {
        std::vector<std::string> data;
        const std::vector<SentReport> all = Reports();
        for (std::size_t i = skip; i < all.size(); ++i)
        {
            if (all[i].display == display)
            {
                data.push_back(all[i].data);
            }
        }
        return data;
    }

    std::string DaemonLog() const
    {
        std::ifstream log(m_tree.Path("daemon.log"));
        std::stringstream text;
        text << log.rdbuf();
        return text.str();
    }

    struct ToolResult
    {
        int exitCode = -1;
        std::string output; // stdout and stderr
    };
    // kelvanectl --user against this rig's config, status and sysfs tree.
    ToolResult Tool(const std::string& arguments) const
    {
        return Run(KELVANECTL_PATH " --user --config " + m_tree.Path("kelvane.conf") + " --status " +
                   m_tree.Path("run/status") + " --sysfs " + m_tree.Path("sys") + " " + arguments);
    }
    // Another kelvaned with this rig's arguments, run to its end (one that refuses to start).
    ToolResult Daemon(const std::string& arguments = "") const
    {
        const std::vector<std::string> words = DaemonArguments();
        std::string command = words[0];
        for (std::size_t i = 1; i < words.size(); ++i)
        {
            command += " '" + words[i] + "'";
        }
        return Run(command + " " + arguments);
    }

private:
    std::vector<std::string> DaemonArguments() const
    {
        return {KELVANED_PATH,
                "--user",
                "--config",
                m_tree.Path("kelvane.conf"),
                "--runtime-dir",
                m_tree.Path("run"),
                "--system-runtime-dir",
                m_tree.Path("service"),
                "--sysfs",
                m_tree.Path("sys"),
                "--hotplug",
                "poll"};
    }

public:
    // Any command line, with this rig's simulated displays; output is stdout and stderr.
    ToolResult Run(const std::string& commandLine) const
    {
        const std::string command = "HIDRAWSIM_CONFIG=" + m_bus->Path("sim.conf") +
                                    " HIDRAWSIM_DEVICES=" + m_bus->Path("dev") +
                                    " LD_LIBRARY_PATH=" SIM_LIB_DIR " " + commandLine + " 2>&1";
        ToolResult result;
        FILE* pipe = popen(command.c_str(), "r");
        char buffer[512];
        while (pipe && std::fgets(buffer, sizeof buffer, pipe))
        {
            result.output += buffer;
        }
        const int status = pipe ? pclose(pipe) : -1;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return result;
    }

private:
    ScratchFolder m_tree;
    const ScratchFolder* m_bus = &m_tree;
    bool m_journal = false;
    pid_t m_pid = 0;
};

// Waits for a condition the daemon brings about in its own time. Generous on purpose: the
// machine is shared, and durations are measured by the benchmarks, not asserted here.
inline bool Eventually(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline)
    {
        if (condition())
        {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
}
