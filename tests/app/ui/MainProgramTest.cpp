// End-to-end: the real program, started from a staged program folder under Wine, observed through
// its window, the registry, the sensor block and the display simulator's log.
#include "app/core/KillProcessByName.h"
#include "app/core/SettingsStore.h"
#include "app/platform/KernelHandle.h"
#include "app/platform/ProgramLog.h"
#include "tests/app/ui/LocalUpdateServer.h"
#include "tests/app/ui/ProgramUnderTest.h"
#include "tests/app/ui/SnapshotStatus.h"
#include "tests/scripts/RunningProcesses.h"
#include "tests/app/update/TestFiles.h"
#include "tests/support/ScreenSnapshot.h"
#include "ProgramVersion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>

namespace
{
using Digits = std::vector<int>;

constexpr POINT kLed{60, 27};
constexpr POINT kUnit{250, 170};
constexpr POINT kSource{250, 303};
constexpr POINT kOverlapStrip{200, 242};
constexpr POINT kSettings{420, 26};
constexpr POINT kClose{464, 26};

std::size_t FirstIndex(const std::vector<SimLogEntry>& log, bool (*match)(const SimLogEntry&))
{
    for (std::size_t i = 0; i < log.size(); ++i)
        if (match(log[i]))
            return i;
    return log.size();
}

// Clicks, then returns the digits of the first report that started after the click.
Digits ClickAndReadNextReport(ProgramUnderTest& program, POINT at)
{
    const std::size_t before = TemperatureReports(program.Log()).size();
    program.Click(at.x, at.y);
    // The report in flight may have read the settings just before the click; the one after it
    // cannot have.
    const auto reports = program.WaitForReports(before + 2);
    if (reports.size() < before + 2)
        return {};
    return reports[before + 1].Digits();
}

bool WaitForVisibility(HWND window, bool visible, DWORD ms = 5000)
{
    for (DWORD waited = 0; waited < ms; waited += 50)
    {
        if ((IsWindowVisible(window) != FALSE) == visible)
            return true;
        Sleep(50);
    }
    return false;
}

// The update server knows the program's own version and the display's firmware: nothing to offer.
std::map<std::string, std::string> CurrentVersions()
{
    return {{"/q17x/software/version", TK_VERSION_TEXT}, {"/q17x/firmware/version", "103"}};
}

std::string RequestTime(const LocalUpdateServer& server, const std::string& path)
{
    for (const auto& request : server.Requests())
        if (request.path == path)
            return request.utc;
    return "none";
}

// The lines the program log gains from now on (the file may have been rotated meanwhile).
class LogTail
{
public:
    LogTail() : m_from(Read().size()) {}
    std::string Lines() const
    {
        std::string text = Read();
        return text.size() >= m_from ? text.substr(m_from) : text;
    }
    std::size_t Count(const std::string& what) const
    {
        const std::string lines = Lines();
        std::size_t count = 0;
        for (std::size_t at = lines.find(what); at != std::string::npos; at = lines.find(what, at + 1))
            ++count;
        return count;
    }

private:
    static std::string Read()
    {
        std::ifstream file((ProgramLog::DefaultFolder() + L"program.log").c_str(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    std::size_t m_from;
};

void KillServerOnce()
{
    KillProcessByName(L"ThermivoxServer.exe");
}

class MainProgram : public testing::Test
{
protected:
    void TearDown() override { ProgramUnderTest::CleanSlate(); }
};
} // namespace

TEST_F(MainProgram, StartsWithScanAndChecksBesideOneReportPerTickToEveryDisplay)
{
    for (int displays : {1, 2})
    {
        SCOPED_TRACE("displays=" + std::to_string(displays));
        LocalUpdateServer updates(CurrentVersions());
        ASSERT_TRUE(updates.IsListening());
        ProgramOptions options;
        options.displays = displays;
        ProgramUnderTest program(options);
        ASSERT_NE(program.WaitForWindow(), nullptr);
        // The first reports need not wait for the checks, nor for the server's first readings.
        auto settled = [](const std::vector<SimLogEntry>& log)
        {
            const auto reports = TemperatureReports(log);
            return std::any_of(log.begin(), log.end(),
                               [](const SimLogEntry& e) { return e.IsVersionRequest(); }) &&
                   !reports.empty() && reports.back().Digits() == Digits{0, 3, 7};
        };
        for (int waited = 0; waited < 300 && !settled(program.Log()); ++waited)
            Sleep(100);
        const auto reports = program.WaitForReports(TemperatureReports(program.Log()).size() + 2 * displays);
        ASSERT_GE(reports.size(), 3u * displays);

        const auto log = program.Log();
        const std::size_t firstOpen = FirstIndex(log, [](const SimLogEntry& e) { return e.kind == "open"; });
        const std::size_t versionRequest =
            FirstIndex(log, [](const SimLogEntry& e) { return e.IsVersionRequest(); });
        const std::size_t firstReport =
            FirstIndex(log, [](const SimLogEntry& e) { return e.IsTemperatureReport(); });
        ASSERT_LT(versionRequest, log.size());
        ASSERT_LT(firstReport, log.size());
        EXPECT_LT(firstOpen, versionRequest) << "the firmware read waits for the scan";
        // Across processes by wall clock (same millisecond format): the update worker asks for the
        // software text, then the firmware text, then has the display worker read the display's
        // version; the display worker's scan and reports go on beside it.
        const std::string software = RequestTime(updates, "/q17x/software/version");
        const std::string firmware = RequestTime(updates, "/q17x/firmware/version");
        EXPECT_LE(software, firmware);
        EXPECT_LE(firmware, log[versionRequest].utc);
        EXPECT_EQ(log[versionRequest].display, 0) << "only the first display is asked for its version";
        int opened = 0;
        for (std::size_t i = 0; i < versionRequest; ++i)
            opened = std::max(opened, log[i].kind == "open" ? log[i].display + 1 : 0);
        EXPECT_EQ(opened, displays);

        for (std::size_t i = 0; i < reports.size(); ++i)
        {
            EXPECT_EQ(reports[i].display, static_cast<int>(i % displays)) << "report " << i;
            if (reports[i].Digits() != Digits{0, 0, 0})
            {
                EXPECT_EQ(reports[i].Digits(), (Digits{0, 3, 7})) << "37.9 degrees become 0 3 7";
            }
        }
        EXPECT_EQ(reports.back().Digits(), (Digits{0, 3, 7})) << "no readings yet gives 0 0 0, then 0 3 7";
        EXPECT_EQ(SettingText(kLedSwitchSetting), L"1") << "a fresh profile gets the LED default";
    }
}

TEST_F(MainProgram, PictureClicksChangeSettingsAndTheVeryNextReports)
{
    ProgramUnderTest program(ProgramOptions{});
    ASSERT_NE(program.WaitForWindow(), nullptr);
    ASSERT_GE(program.WaitForReports(1).size(), 1u);

    EXPECT_EQ(ClickAndReadNextReport(program, kLed), (Digits{0, 0, 0}));
    EXPECT_EQ(SettingText(kLedSwitchSetting), L"2");
    EXPECT_EQ(ClickAndReadNextReport(program, kLed), (Digits{0, 3, 7}));
    EXPECT_EQ(SettingText(kLedSwitchSetting), L"1");

    // Only the second GPU slot is named: its 61.5 degrees are shown.
    EXPECT_EQ(ClickAndReadNextReport(program, kSource), (Digits{0, 6, 1}));
    EXPECT_EQ(SettingText(kDeviceTypeSetting), L"1");
    EXPECT_EQ(ClickAndReadNextReport(program, kUnit), (Digits{1, 4, 1})) << "61 C is 141 F";
    EXPECT_EQ(SettingText(kTempeTypeSetting), L"1");
    EXPECT_EQ(ClickAndReadNextReport(program, kSource), (Digits{0, 9, 8})) << "37 C is 98 F";
    EXPECT_EQ(SettingText(kDeviceTypeSetting), L"0");
    // The strip shared with the (hidden) help picture belongs to the unit picture.
    EXPECT_EQ(ClickAndReadNextReport(program, kOverlapStrip), (Digits{0, 3, 7}));
    EXPECT_EQ(SettingText(kTempeTypeSetting), L"0");

    // On the settings page the hidden pictures do nothing.
    program.Click(kSettings.x, kSettings.y);
    for (POINT at : {kLed, kSource, kUnit, kOverlapStrip})
        EXPECT_EQ(ClickAndReadNextReport(program, at), (Digits{0, 3, 7}));
    EXPECT_EQ(SettingText(kLedSwitchSetting), L"1");
    EXPECT_EQ(SettingText(kDeviceTypeSetting), L"0");
    EXPECT_EQ(SettingText(kTempeTypeSetting), L"0");
}

TEST_F(MainProgram, OddStoredValuesAreReadAsTheDialogDefines)
{
    ProgramOptions options;
    options.settings = {{kLedSwitchSetting, L"5"}, {kTempeTypeSetting, L"7"}};
    ProgramUnderTest program(options);
    ASSERT_NE(program.WaitForWindow(), nullptr);
    const auto reports = program.WaitForReports(2);
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports.back().Digits(), (Digits{0, 0, 0})) << "LED 5 counts as blanked";
    EXPECT_EQ(ClickAndReadNextReport(program, kLed), (Digits{0, 3, 7})) << "7 is not Fahrenheit for the tick";
    EXPECT_EQ(SettingText(kLedSwitchSetting), L"1");
}

TEST_F(MainProgram, PagesLookFinishedAndTheCloseButtonHides)
{
    ProgramOptions options;
    options.displays = 2;
    ProgramUnderTest program(options);
    HWND window = program.WaitForWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_GE(program.WaitForReports(2).size(), 2u);
    RECT rect = {};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, 500);
    EXPECT_EQ(rect.bottom - rect.top, 350);
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(rect.right, work.right - 2);
    EXPECT_EQ(rect.bottom, work.bottom - 2);

    Sleep(500);
    EXPECT_TRUE(SaveWindowScreenshot(window, ArtifactsFolder() + L"kelvane_main_page.png"));
    program.Click(kSettings.x, kSettings.y);
    Sleep(800);
    EXPECT_TRUE(SaveWindowScreenshot(window, ArtifactsFolder() + L"kelvane_settings_page.png"));
    program.Click(kSettings.x, kSettings.y);
    Sleep(300);

    program.Click(kClose.x, kClose.y);
    EXPECT_TRUE(WaitForVisibility(window, false));
    DWORD code = 0;
    EXPECT_FALSE(program.WaitForExit(500, code)) << "hidden, the program keeps running";
}

TEST_F(MainProgram, SecondStartShowsTheHiddenFirstCopyAndEndsWithZero)
{
    ProgramOptions options;
    options.arguments = L"-hide";
    ProgramUnderTest program(options);
    HWND window = program.WaitForWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_GE(program.WaitForReports(1).size(), 1u) << "the first copy is up";
    ASSERT_FALSE(IsWindowVisible(window));

    HANDLE second = ProgramUnderTest::StartCopy(L"");
    ASSERT_NE(second, nullptr);
    ASSERT_EQ(WaitForSingleObject(second, 20000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(second, &code);
    CloseHandle(second);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(WaitForVisibility(window, true));
    EXPECT_EQ(CountProcesses(L"Tarvik Kelvane.exe"), 1);
}

TEST_F(MainProgram, MutexHeldWithoutAWindowIsToldToTheUser)
{
    // This test stands for a process that only holds the single-instance mutex.
    const LogTail log;
    KernelHandle mutex(CreateMutexW(nullptr, TRUE, L"Tarvik Kelvane"));
    ASSERT_TRUE(mutex);
    KernelHandle program(ProgramUnderTest::StartCopy(L""));
    ASSERT_TRUE(program);
    HWND box = nullptr;
    WaitUntil([&]
              { return (box = VisibleWindowOf(GetProcessId(program.get()), L"Tarvik Kelvane")) != nullptr; },
              30000);
    ASSERT_NE(box, nullptr) << "the program says why it does not start";
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512); // the system message box's text
    EXPECT_NE(std::wstring(text).find(L"holds its single-instance lock"), std::wstring::npos);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_EQ(WaitForSingleObject(program.get(), 10000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(program.get(), &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(log.Count("] start-refused reason="), 1u);
}

TEST_F(MainProgram, HideOptionIsACaseSensitiveSubstring)
{
    struct Case
    {
        const wchar_t* arguments;
        bool visible;
    };
    for (const Case& c : {Case{L"x-hidey", false}, Case{L"--hide", false}, Case{L"-HIDE", true}})
    {
        SCOPED_TRACE(std::string(c.arguments, c.arguments + wcslen(c.arguments)));
        ProgramOptions options;
        options.arguments = c.arguments;
        ProgramUnderTest program(options);
        HWND window = program.WaitForWindow();
        ASSERT_NE(window, nullptr);
        ASSERT_GE(program.WaitForReports(1).size(), 1u) << "the program is up";
        EXPECT_EQ(IsWindowVisible(window) != FALSE, c.visible);
    }
}

TEST_F(MainProgram, CommandsFromOtherProcesses)
{
    // Served from the start: the start-up firmware check, which runs beside the reports, then
    // reads the display's version exactly once.
    LocalUpdateServer updates(CurrentVersions());
    ProgramUnderTest program(ProgramOptions{});
    HWND window = program.WaitForWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_GE(program.WaitForReports(1).size(), 1u);
    auto versionRequests = [&program]
    {
        const auto log = program.Log();
        return std::count_if(log.begin(), log.end(),
                             [](const SimLogEntry& e) { return e.IsVersionRequest(); });
    };
    for (int waited = 0; waited < 100 && versionRequests() == 0; ++waited)
        Sleep(100);
    const auto before = versionRequests();
    ASSERT_EQ(before, 1);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(101, 1), 0);
    program.WaitForReports(TemperatureReports(program.Log()).size() + 2);
    EXPECT_EQ(versionRequests(), before) << "101 with a notification code is not the command";
    SendMessageW(window, WM_COMMAND, 101, 0);
    program.WaitForReports(TemperatureReports(program.Log()).size() + 2);
    EXPECT_EQ(versionRequests(), before + 1) << "101 queues a firmware check";
    SendMessageW(window, WM_COMMAND, 102, 0);
    for (int waited = 0; waited < 100 && RequestTime(updates, "/q17x/software/version") == "none"; ++waited)
        Sleep(100);
    EXPECT_NE(RequestTime(updates, "/q17x/software/version"), "none") << "102 queues a software check";

    PostMessageW(window, WM_COMMAND, 100, 0);
    DWORD code = 99;
    ASSERT_TRUE(program.WaitForExit(10000, code));
    EXPECT_EQ(code, 0u);
    EXPECT_GT(CountProcesses(L"ThermivoxServer.exe"), 0) << "the exit command leaves the server running";
}

TEST_F(MainProgram, ClosingTheWindowEndsTheLoopAndShutsDownInOrder)
{
    const LogTail log;
    ProgramUnderTest program(ProgramOptions{});
    HWND window = program.WaitForWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_GE(program.WaitForReports(1).size(), 1u);
    ASSERT_GT(CountProcesses(L"ThermivoxServer.exe"), 0);
    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD code = 99;
    ASSERT_TRUE(program.WaitForExit(10000, code));
    EXPECT_EQ(code, 1u) << "a normal run returns 1";
    for (int waited = 0; waited < 50 && CountProcesses(L"ThermivoxServer.exe") > 0; ++waited)
        Sleep(100);
    EXPECT_EQ(CountProcesses(L"ThermivoxServer.exe"), 0) << "the shutdown ends the server";
    EXPECT_EQ(log.Count("] sensor-server-start by=window path="), 1u);
    EXPECT_EQ(log.Count("] sensor-server-ended when=exit pid="), 1u);
    EXPECT_GE(log.Count("] sensor-server-exit pid="), 1u);
}

TEST_F(MainProgram, TheLogSaysWhatTheProgramMetAndHowItEnded)
{
    const std::wstring log = ProgramLog::DefaultFolder() + L"program.log";
    DeleteFileW(log.c_str());
    ProgramOptions options;
    options.displays = 2;
    options.displaySim = L"display.1.fail=send";
    ProgramUnderTest program(options);
    HWND window = program.WaitForWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_GE(program.WaitForReports(6).size(), 6u);
    program.Click(kUnit.x, kUnit.y);
    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD code = 99;
    ASSERT_TRUE(program.WaitForExit(10000, code));

    const auto lines = FileLines(log);
    const auto count = [&log](const std::string& part) { return FileLines(log, part).size(); };
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.front().find(" [ui] start version=" TK_VERSION_TEXT " elevated="), std::string::npos)
        << lines.front();
    // The servers' own exit lines come from the thread that watches them and may follow.
    EXPECT_EQ(count(" [ui] exit code=1 reason=window-closed"), 1u) << lines.back();
    EXPECT_EQ(count(" [display] display-attached path=\""), 2u);
    EXPECT_EQ(count(" [display] report-send-failed path=\""), 1u) << "once, not every second";
    EXPECT_EQ(count(" [ui] setting name=tempe_type value=1"), 1u);
    EXPECT_EQ(count(" [update] update-check kind=software silent=yes "), 1u);
    EXPECT_EQ(count(" [update] update-check kind=firmware silent=yes "), 1u);
}

TEST_F(MainProgram, ServerFolderFollowsTheReportedWindowsVersion)
{
    struct Case
    {
        const wchar_t* version;
        const char* folder;
    };
    auto reportVersion = [](const wchar_t* version)
    {
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine", L"Version", REG_SZ, version,
                        static_cast<DWORD>((wcslen(version) + 1) * sizeof(wchar_t)));
    };
    // The prefix is shared with other tests, which expect Windows 10: restored on every path.
    struct Restore
    {
        decltype(reportVersion)& set;
        ~Restore() { set(L"win10"); }
    } restore{reportVersion};
    for (const Case& c : {Case{L"win7", "HardwareMonitorWin7"}, Case{L"win10", "HardwareMonitor"}})
    {
        SCOPED_TRACE(c.folder);
        reportVersion(c.version);
        ProgramUnderTest program(ProgramOptions{});
        ASSERT_NE(program.WaitForWindow(), nullptr);
        ASSERT_GE(program.WaitForReports(1).size(), 1u);
        // The server starts beside the program, not before its first report; a new server may
        // also wait for the one the program ended to be gone.
        SnapshotStatus status = ReadSnapshotStatus();
        for (int waited = 0; waited < 100 && status.folder != c.folder; ++waited, Sleep(100))
            status = ReadSnapshotStatus();
        EXPECT_TRUE(status.present);
        EXPECT_EQ(status.folder, c.folder);
    }
}

TEST_F(MainProgram, WatchRestartsAServerWithoutLiveReadingsForTwelveTicks)
{
    ProgramOptions options;
    options.replay = "cpu=30 live=0\n";
    const LogTail log;
    ProgramUnderTest program(options);
    ASSERT_NE(program.WaitForWindow(), nullptr);
    const DWORD started = GetTickCount(); // the watch's timer starts at the end of initialisation
    ASSERT_GE(program.WaitForReports(1).size(), 1u);

    // The server dies; the block keeps saying "no readings", so the next tick starts another.
    for (int round = 0; round < 50 && CountProcesses(L"ThermivoxServer.exe") > 0; ++round)
        KillServerOnce(), Sleep(100);
    ASSERT_EQ(CountProcesses(L"ThermivoxServer.exe"), 0);
    // The server runs one copy at a time: a start it refused is still a start by the watch.
    const auto starts = []
    {
        const SnapshotStatus status = ReadSnapshotStatus();
        return status.launches + status.refused;
    };
    const unsigned launchesAfterKill = starts();
    bool restarted = false;
    for (int waited = 0; waited < 120 && !restarted; ++waited, Sleep(100))
        restarted = CountProcesses(L"ThermivoxServer.exe") > 0;
    EXPECT_TRUE(restarted) << "the watch starts the server again within one tick";

    // Every tick starts a server while the block says "no readings". The watch has stopped once
    // the twelfth tick is due (60 s after the timer started) and no start came for two tick periods.
    constexpr DWORD kTick = 5000;
    unsigned afterWatch = starts();
    DWORD lastChange = GetTickCount();
    while (GetTickCount() - started < 100000 &&
           (GetTickCount() - started < 12 * kTick || GetTickCount() - lastChange < 2 * kTick))
    {
        Sleep(100);
        const unsigned now = starts();
        if (now != afterWatch)
            afterWatch = now, lastChange = GetTickCount();
    }
    EXPECT_GT(afterWatch, launchesAfterKill);
    EXPECT_GE(GetTickCount() - lastChange, 2 * kTick) << "no start after the twelfth tick";
    EXPECT_LE(afterWatch, 13u) << "one start at initialisation and at most one per tick";
    EXPECT_GE(afterWatch, 8u) << "every tick after the first scan found no live readings";
    // Each restart is in the log, and each server that went, with its exit code.
    EXPECT_GE(log.Count("] sensor-server-restart by=watch tick="), afterWatch - 1);
    EXPECT_GE(log.Count("] sensor-server-exit pid="), afterWatch - 1);
}
