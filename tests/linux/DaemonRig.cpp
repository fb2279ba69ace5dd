#include "tests/linux/DaemonRig.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

DaemonRig::DaemonRig(const std::string& simConfig)
{
    m_tree.Write("dev/.keep", "");
    SetSimulator(simConfig);
}

void DaemonRig::SetSimulator(const std::string& text) const
{
    m_bus->Write("sim.conf.new", text + "\n");
    std::rename(m_bus->Path("sim.conf.new").c_str(), m_bus->Path("sim.conf").c_str());
}

void DaemonRig::Start(const std::vector<std::string>& extra)
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
            setenv("JOURNAL_STREAM", (std::to_string(log.st_dev) + ":" + std::to_string(log.st_ino)).c_str(),
                   1);
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

int DaemonRig::Stop()
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

std::vector<SentReport> DaemonRig::Reports() const
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

std::vector<std::string> DaemonRig::ReportsTo(int display, std::size_t skip) const
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

DaemonRig::ToolResult DaemonRig::Tool(const std::string& arguments) const
{
    return Run(KELVANECTL_PATH " --user --config " + m_tree.Path("kelvane.conf") + " --status " +
               m_tree.Path("run/status") + " --sysfs " + m_tree.Path("sys") + " " + arguments);
}

DaemonRig::ToolResult DaemonRig::Daemon(const std::string& arguments) const
{
    const std::vector<std::string> words = DaemonArguments();
    std::string command = words[0];
    for (std::size_t i = 1; i < words.size(); ++i)
    {
        command += " '" + words[i] + "'";
    }
    return Run(command + " " + arguments);
}

std::vector<std::string> DaemonRig::DaemonArguments() const
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

DaemonRig::ToolResult DaemonRig::Run(const std::string& commandLine) const
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

bool Eventually(const std::function<bool()>& condition)
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
