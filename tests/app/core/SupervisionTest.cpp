#include "app/core/KillProcessByName.h"
#include "app/core/ProgramFolder.h"
#include "app/core/SensorServer.h"
#include "app/core/SensorServerWatch.h"
#include "app/core/StartupRules.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <string>
#include <vector>

namespace
{
// A copy of this test executable under another file name, started with "--linger".
class LingeringProcess
{
public:
    explicit LingeringProcess(const std::wstring& path)
    {
        std::wstring commandLine = L"\"" + path + L"\" --linger";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        if (CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &info))
        {
            CloseHandle(info.hThread);
            m_process = info.hProcess;
        }
    }
    ~LingeringProcess()
    {
        if (!m_process)
            return;
        TerminateProcess(m_process, 9);
        WaitForSingleObject(m_process, 5000);
        CloseHandle(m_process);
    }
    LingeringProcess(const LingeringProcess&) = delete;
    LingeringProcess& operator=(const LingeringProcess&) = delete;

    bool Started() const { return m_process != nullptr; }
    bool EndsWithin(DWORD ms) const { return WaitForSingleObject(m_process, ms) == WAIT_OBJECT_0; }

private:
    HANDLE m_process = nullptr;
};

std::wstring CopyOfSelf(const std::wstring& fileName)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring target = std::wstring(temp) + fileName;
    CopyFileW(self, target.c_str(), FALSE);
    return target;
}
} // namespace

TEST(KillProcessByName, EndsTheFirstMatchIgnoringCaseAndOnlyThatOne)
{
    const std::wstring path = CopyOfSelf(L"KillProbeServer.exe");
    LingeringProcess first(path);
    Sleep(300);
    LingeringProcess second(path);
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(second.Started());
    Sleep(500);

    EXPECT_TRUE(KillProcessByName(L"KILLPROBESERVER.EXE"));
    const bool firstEnded = first.EndsWithin(5000);
    const bool secondEnded = second.EndsWithin(500);
    EXPECT_NE(firstEnded, secondEnded) << "exactly one of the two copies ends";

    EXPECT_TRUE(KillProcessByName(L"killprobeserver.exe"));
    EXPECT_TRUE(first.EndsWithin(5000));
    EXPECT_TRUE(second.EndsWithin(5000));
}

TEST(KillProcessByName, NoMatchStillReportsSuccess)
{
    EXPECT_TRUE(KillProcessByName(L"NoSuchProcessAnywhere.exe"));
}

TEST(SensorServerWatch, RunsTwelveTicksAndLaunchesOnlyWithoutLiveReadings)
{
    SensorServerWatch watch;
    std::vector<bool> stops;
    for (int tick = 0; tick < 12; ++tick)
    {
        const auto decision = watch.Tick(true, 0.0f);
        EXPECT_TRUE(decision.launchServer) << "tick " << tick;
        stops.push_back(decision.stopTimer);
    }
    for (int tick = 0; tick < 11; ++tick)
        EXPECT_FALSE(stops[tick]) << "tick " << tick;
    EXPECT_TRUE(stops[11]);
    EXPECT_EQ(watch.Ticks(), 12u);
}

TEST(SensorServerWatch, LivenessRules)
{
    SensorServerWatch watch;
    EXPECT_FALSE(watch.Tick(false, 0.0f).launchServer) << "no snapshot yet: only count";
    EXPECT_TRUE(watch.Tick(true, -1.0f).launchServer);
    EXPECT_FALSE(watch.Tick(true, 0.5f).launchServer);
    EXPECT_FALSE(watch.Tick(true, std::nanf("")).launchServer) << "NaN counts as live";
    EXPECT_TRUE(watch.Tick(true, -0.0f).launchServer);
}

TEST(SensorServer, PathFollowsTheWindowsFamily)
{
    EXPECT_EQ(SensorServerPath(L"C:\\Apps\\TK\\", true),
              L"C:\\Apps\\TK\\HardwareMonitor\\ThermivoxServer.exe");
    EXPECT_EQ(SensorServerPath(L"C:\\Apps\\TK\\", false),
              L"C:\\Apps\\TK\\HardwareMonitorWin7\\ThermivoxServer.exe");
}

TEST(ProgramFolder, HasExactlyOneTrailingBackslash)
{
    const std::wstring folder = GetProgramFolder();
    ASSERT_GE(folder.size(), 3u);
    EXPECT_EQ(folder.back(), L'\\');
    EXPECT_NE(folder[folder.size() - 2], L'\\');
    EXPECT_EQ(FolderOfPath(L"C:\\a\\b.exe"), L"C:\\a\\");
    EXPECT_EQ(FolderOfPath(L"b.exe"), L"");
}

TEST(StartupRules, HideOptionIsACaseSensitiveSubstring)
{
    EXPECT_TRUE(StartsHidden(L"-hide"));
    EXPECT_TRUE(StartsHidden(L"--hide"));
    EXPECT_TRUE(StartsHidden(L"x -hideaway"));
    EXPECT_FALSE(StartsHidden(L"-hidden")) << "\"-hidd\" is not \"-hide\"";
    EXPECT_FALSE(StartsHidden(L"-HIDE"));
    EXPECT_FALSE(StartsHidden(L"/hide"));
    EXPECT_FALSE(StartsHidden(L""));
    EXPECT_FALSE(StartsHidden(nullptr));
}

TEST(StartupRules, DpiAwareOnlyBelow1400By800)
{
    EXPECT_TRUE(WantsDpiAwareness(1366, 768));
    EXPECT_TRUE(WantsDpiAwareness(1399, 1080));
    EXPECT_TRUE(WantsDpiAwareness(1920, 799));
    EXPECT_FALSE(WantsDpiAwareness(1400, 800));
    EXPECT_FALSE(WantsDpiAwareness(1920, 1080));
}
