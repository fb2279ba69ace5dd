// The program itself (built with the test server's address and run from the staged program folder,
// beside the display simulator and both sensor servers) against a local update server that serves our
// own signed release as a newer version: the question, YES, the download, the servers ended, the
// installer started and the program ended; with a tampered archive, the notice and a program that
// keeps running; with a server that trickles its version text, reports that keep their pace; and with
// one that trickles its status line and headers, checks given up and a manual check still answered.
#include "app/core/MainWindowMessages.h"
#include "app/update/staging/StagingFolder.h"
#include "tests/app/ui/SimLog.h"
#include "tests/app/update/TestFiles.h"
#include "tests/app/update/TestServer.h"
#include "tests/scripts/RunningProcesses.h"
#include "TestVersions.h"

#include <windows.h>

#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdio>
#include <fstream>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
constexpr wchar_t kVersion[] = TK_TEST_NEXT_VERSION_WIDE;
constexpr wchar_t kInstaller[] = L"Software-" TK_TEST_NEXT_VERSION_WIDE L".exe";
constexpr wchar_t kArchive[] = L"Software-" TK_TEST_NEXT_VERSION_WIDE L".zip";

constexpr wchar_t kServerImage[] = L"ThermivoxServer.exe";

std::wstring StageFolder()
{
    return TK_E2E_STAGE_DIR;
}

std::wstring TempFile(const wchar_t* name)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

// %ProgramData%\Tarvik Kelvane\Updates\, where the program stages its updates.
std::wstring StagingRoot()
{
    wchar_t data[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, data);
    return StagingRootBelow(data);
}

// The program under test, with one simulated display that logs what it receives; ended by force if
// a test leaves it running.
class Program
{
public:
    explicit Program(const std::wstring& host) : m_displayLog(TempFile(L"kelvane_update_e2e_displays.log"))
    {
        DeleteFileW(m_displayLog.c_str());
        const std::wstring replay = TempFile(L"kelvane_update_e2e_curve.txt");
        std::ofstream(replay.c_str()) << "cpu=37.9 gpu1=20 ms=600000\n";
        SetEnvironmentVariableW(L"THERMIVOX_REPLAY", replay.c_str());
        SetEnvironmentVariableW(L"DISPLAYSIM", L"displays=1");
        SetEnvironmentVariableW(L"DISPLAYSIM_LOG", m_displayLog.c_str());
        SetEnvironmentVariableW(L"TK_E2E_UPDATE_HOST", host.c_str());
        std::wstring path = StageFolder() + L"kelvane_update_e2e.exe";
        std::wstring commandLine = L"\"" + path + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        if (CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           StageFolder().c_str(), &startup, &m_process))
            CloseHandle(m_process.hThread);
        else
            m_process = {};
    }
    ~Program()
    {
        if (m_process.hProcess == nullptr)
            return;
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(m_process.hProcess, 1);
        CloseHandle(m_process.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return m_process.hProcess != nullptr; }
    DWORD Id() const { return m_process.dwProcessId; }
    // True when the program ended within the time; its exit code goes to code.
    bool WaitForEnd(DWORD milliseconds, DWORD& code) const
    {
        if (WaitForSingleObject(m_process.hProcess, milliseconds) != WAIT_OBJECT_0)
            return false;
        GetExitCodeProcess(m_process.hProcess, &code);
        return true;
    }
    std::vector<SimLogEntry> Reports() const { return TemperatureReports(ReadSimLog(m_displayLog)); }

private:
    std::wstring m_displayLog;
    PROCESS_INFORMATION m_process = {};
};

// A message box of the program: the system's, titled by the update kind, or the skinned one.
HWND FindMessageBox(DWORD process)
{
    const HWND system = VisibleWindowOf(process, L"Tarvik Kelvane Software Updates");
    return system ? system : VisibleWindowOf(process, L"MessageBox");
}

HWND WaitForMessageBox(DWORD process, HWND other, DWORD milliseconds)
{
    for (DWORD waited = 0; waited < milliseconds; waited += 100)
    {
        const HWND box = FindMessageBox(process);
        if (box != nullptr && box != other)
            return box;
        Sleep(100);
    }
    return nullptr;
}

bool IsSystemDialog(HWND window)
{
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    return std::wstring(name) == L"#32770";
}

// Presses YES (or OK, the same place's first button) the way a user would reach it.
void PressFirstButton(HWND box, bool yesNo)
{
    if (IsSystemDialog(box))
    {
        const int id = yesNo ? IDYES : IDOK;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
        return;
    }
    // The skinned box, 380 x 200: YES at (70, 140)-(170, 170), OK at (60, 160)-(320, 190).
    const LPARAM point = yesNo ? MAKELPARAM(120, 155) : MAKELPARAM(190, 175);
    PostMessageW(box, WM_MOUSEMOVE, 0, point);
    PostMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(box, WM_LBUTTONUP, 0, point);
}

bool WaitUntilGone(HWND window, DWORD milliseconds)
{
    for (DWORD waited = 0; waited < milliseconds; waited += 100)
    {
        if (!IsWindow(window) || !IsWindowVisible(window))
            return true;
        Sleep(100);
    }
    return false;
}

std::vector<DWORD> WaitForProcess(const std::wstring& name, DWORD milliseconds)
{
    for (DWORD waited = 0; waited < milliseconds; waited += 200)
    {
        auto ids = ProcessesNamed(name);
        if (!ids.empty())
            return ids;
        Sleep(200);
    }
    return {};
}

bool WaitForVisibleWindowOf(const std::vector<DWORD>& processes, DWORD milliseconds)
{
    for (DWORD waited = 0; waited < milliseconds; waited += 200)
    {
        for (const DWORD process : processes)
        {
            if (VisibleWindowOf(process, nullptr))
                return true;
        }
        Sleep(200);
    }
    return false;
}

// Saves the whole screen as a BMP in the artifacts folder, as evidence of what the user saw.
void SaveScreenshot(const std::wstring& name)
{
    wchar_t folder[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"TK_ARTIFACTS_DIR", folder, MAX_PATH) == 0)
        return;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = ((width * 3 + 3) / 4) * 4;
    std::string pixels(static_cast<std::size_t>(stride) * height, '\0');
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
    bytes += pixels;
    WriteFileBytes(std::wstring(folder) + L"\\" + name, bytes);
}

class UpdateEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.IsAvailable()) << "the update_server fixture is not running";
        m_release = ReadFileBytes(std::wstring(TK_E2E_RELEASE_DIR) + kArchive);
        ASSERT_GT(m_release.size(), 100000u) << "the packaged release is missing";
        // As package.sh lays the server out: the signature binds this version text.
        const std::wstring served = std::wstring(TK_E2E_RELEASE_DIR) + L"server/q17x/software/";
        m_signature = ReadFileBytes(served + kArchive + L".sig");
        m_version = ReadFileBytes(served + L"version");
        ASSERT_EQ(m_signature.size(), 64u) << "the packaged release is not signed";
        EndProcesses(ProcessesNamed(kInstaller));
        EndProcesses(ProcessesNamed(kServerImage));
        RemoveLeftoverStagingFolders();
    }
    void TearDown() override
    {
        EndProcesses(ProcessesNamed(kInstaller));
        EndProcesses(ProcessesNamed(kServerImage));
        RemoveLeftoverStagingFolders();
    }

    // Serves the version text (the release's unless given) and the given archive with the release's
    // signature under a folder of the test's own.
    std::wstring Serve(const std::wstring& name, const std::string& archive, std::string version = "")
    {
        if (version.empty())
            version = m_version;
        const std::wstring folder = L"e2e\\" + name + L"\\q17x\\software\\";
        RemoveTree(m_server.Root() + L"e2e\\" + name);
        EXPECT_TRUE(m_server.Put(folder + L"version", version));
        EXPECT_TRUE(m_server.Put(folder + kArchive, archive));
        EXPECT_TRUE(m_server.Put(folder + kArchive + L".sig", m_signature));
        EXPECT_TRUE(m_server.Put(L"e2e\\" + name + L"\\q17x\\firmware\\version", "103\n"));
        return m_server.Url(L"/e2e/" + name);
    }

    // True when the server log holds a request whose path contains path.
    bool Requested(const std::wstring& path) const
    {
        const std::string narrow(path.begin(), path.end());
        const auto log = m_server.Log();
        return std::any_of(log.begin(), log.end(),
                           [&narrow](const std::string& line)
                           { return line.find(narrow) != std::string::npos; });
    }

    // When the server log, past its first `from` lines, first held count requests for path
    // (GetTickCount64); 0 if not in time.
    ULONGLONG WaitForRequests(std::size_t from, const std::wstring& path, long count,
                              DWORD milliseconds) const
    {
        const std::string request = "\"GET " + std::string(path.begin(), path.end()) + " ";
        for (DWORD waited = 0; waited <= milliseconds; waited += 100, Sleep(100))
        {
            const auto log = m_server.Log();
            if (log.size() > from && std::count_if(log.begin() + from, log.end(),
                                                   [&request](const std::string& line)
                                                   { return line.rfind(request, 0) == 0; }) >= count)
                return GetTickCount64();
        }
        return 0;
    }

    // The staging folders now below the program's staging root.
    static std::vector<std::wstring> StagingFolders()
    {
        std::vector<std::wstring> names;
        for (const auto& entry : ReadTree(StagingRoot()))
            if (entry.second == "<dir>" && entry.first.find(L'\\') == std::wstring::npos)
                names.push_back(entry.first);
        return names;
    }

    TestServer m_server;
    std::string m_release;
    std::string m_signature;
    std::string m_version;
};
} // namespace

TEST_F(UpdateEndToEndTest, YesDownloadsOurSignedReleaseEndsTheServersStartsItsInstallerAndEnds)
{
    Program program(Serve(L"release", m_release));
    ASSERT_TRUE(program.Started());

    const HWND question = WaitForMessageBox(program.Id(), nullptr, 60000);
    ASSERT_NE(question, nullptr) << "no update question appeared";
    ASSERT_FALSE(WaitForProcess(kServerImage, 30000).empty()) << "the program started no sensor server";
    Sleep(500);
    SaveScreenshot(L"update-e2e-question.bmp");
    PressFirstButton(question, true);

    DWORD code = 1;
    ASSERT_TRUE(program.WaitForEnd(120000, code)) << "the program did not end after the download";
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(ProcessesNamed(kServerImage).empty()) << "a sensor server outlived the hand-over";
    const auto installers = WaitForProcess(kInstaller, 30000);
    EXPECT_FALSE(installers.empty()) << "the installer was not started";
    EXPECT_TRUE(WaitForVisibleWindowOf(installers, 30000)) << "the installer shows no window";
    Sleep(500);
    SaveScreenshot(L"update-e2e-installer.bmp");
    EndProcesses(installers);

    const auto staged = StagingFolders();
    ASSERT_EQ(staged.size(), 1u) << "the installer runs from one staging folder";
    const std::wstring folder = StagingRoot() + staged[0] + L"\\";
    EXPECT_EQ(ReadFileBytes(folder + kInstaller).substr(0, 2), "MZ");
    EXPECT_FALSE(PathExists(folder + kArchive));
    const auto log = m_server.Log();
    for (const char* request :
         {"GET /e2e/release/q17x/software///Software-" TK_TEST_NEXT_VERSION ".zip ",
          "GET /e2e/release/q17x/software///Software-" TK_TEST_NEXT_VERSION ".zip.sig "})
        EXPECT_TRUE(std::any_of(log.begin(), log.end(),
                                [request](const std::string& line) {
                                    return line.find(request) != std::string::npos &&
                                           line.find("\" 200 ") != std::string::npos;
                                }))
            << request;
}

TEST_F(UpdateEndToEndTest, TamperedArchiveIsRefusedWithTheNoticeAndTheProgramRunsOn)
{
    std::string tampered = m_release;
    tampered[tampered.size() / 2] ^= 0x01;
    Program program(Serve(L"tampered", tampered));
    ASSERT_TRUE(program.Started());

    const HWND question = WaitForMessageBox(program.Id(), nullptr, 60000);
    ASSERT_NE(question, nullptr) << "no update question appeared";
    PressFirstButton(question, true);
    ASSERT_TRUE(WaitUntilGone(question, 10000));

    const HWND notice = WaitForMessageBox(program.Id(), question, 60000);
    ASSERT_NE(notice, nullptr) << "no notice that the update failed";
    Sleep(500);
    SaveScreenshot(L"update-e2e-not-installed.bmp");
    DWORD code = 1;
    EXPECT_FALSE(program.WaitForEnd(0, code)) << "the program ended";
    EXPECT_TRUE(ProcessesNamed(kInstaller).empty());
    EXPECT_TRUE(StagingFolders().empty()) << "the staging folder was kept";

    PressFirstButton(notice, false);
    ASSERT_TRUE(WaitUntilGone(notice, 10000));
    const std::size_t reports = program.Reports().size();
    EXPECT_FALSE(program.WaitForEnd(3000, code)) << "the program ended after the notice";
    EXPECT_GT(program.Reports().size(), reports) << "the displays stopped";

    // The tray menu's Exit, as another process may send it.
    const HWND main = FindWindowW(nullptr, L"KELVANE");
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_COMMAND, 100, 0);
    EXPECT_TRUE(program.WaitForEnd(30000, code));
}

TEST_F(UpdateEndToEndTest, ReportsKeepTheirPaceWhileTheServerTricklesItsVersionText)
{
    // One byte every 2 s: the start-up software check takes about 18 s, and the firmware check
    // asks only after it.
    Serve(L"trickle", m_release, TK_VERSION_TEXT "\n");
    Program program(m_server.Url(L"/trickle/2/e2e/trickle"));
    ASSERT_TRUE(program.Started());

    std::vector<SimLogEntry> reports;
    for (int waited = 0; waited < 300 && reports.empty(); ++waited, Sleep(100))
        reports = program.Reports();
    ASSERT_FALSE(reports.empty()) << "no report while the check waits";
    const double windowStart = reports.front().ms;
    const double windowEnd = windowStart + 10000.0;
    for (int waited = 0; waited < 300 && reports.back().ms < windowEnd; ++waited, Sleep(100))
        reports = program.Reports();
    EXPECT_TRUE(Requested(L"/trickle/2/e2e/trickle/q17x/software/version"));
    EXPECT_FALSE(Requested(L"/trickle/2/e2e/trickle/q17x/firmware/version"))
        << "the software check ended within the window";
    const auto inWindow = std::count_if(reports.begin(), reports.end(),
                                        [windowEnd](const SimLogEntry& r) { return r.ms < windowEnd; });
    std::printf("reports in the first 10 s of the check: %d\n", static_cast<int>(inWindow));
    // One report a second: ten in ten seconds, give or take a tick of scheduling.
    EXPECT_GE(inWindow, 9);
    EXPECT_LE(inWindow, 11);
}

TEST_F(UpdateEndToEndTest, ChecksGiveUpATricklingHeaderAndAManualCheckIsAnswered)
{
    // The first request of each version text gets its status line and header lines one byte every
    // 5 s, without end; a later one is answered at once.
    Serve(L"headers", m_release, TK_VERSION_TEXT "\n");
    const std::wstring base = L"/once/trickleheaders/5/e2e/headers/q17x/";
    const std::size_t from = m_server.Log().size();
    Program program(m_server.Url(L"/once/trickleheaders/5/e2e/headers"));
    ASSERT_TRUE(program.Started());
    const ULONGLONG softwareAsked = WaitForRequests(from, base + L"software/version", 1, 60000);
    ASSERT_NE(softwareAsked, 0u) << "no start-up check";
    // A manual check posted meanwhile waits behind it and the start-up firmware check.
    const HWND main = FindWindowW(nullptr, L"KELVANE");
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_COMMAND, ID_CHECK_SOFTWARE, 0);

    const ULONGLONG firmwareAsked = WaitForRequests(from, base + L"firmware/version", 1, 120000);
    ASSERT_NE(firmwareAsked, 0u) << "the software check was not given up";
    const ULONGLONG softwareAskedAgain = WaitForRequests(from, base + L"software/version", 2, 120000);
    ASSERT_NE(softwareAskedAgain, 0u) << "the firmware check was not given up";
    std::printf("trickling headers given up after: software check %llu ms, firmware check %llu ms\n",
                firmwareAsked - softwareAsked, softwareAskedAgain - firmwareAsked);
    const HWND answer = WaitForMessageBox(program.Id(), nullptr, 60000);
    ASSERT_NE(answer, nullptr) << "the manual check was not answered";

    // One report a second while the checks were held: thirty in thirty seconds, give or take.
    const auto reports = program.Reports();
    ASSERT_FALSE(reports.empty());
    const double windowEnd = reports.front().ms + 30000.0;
    ASSERT_GE(reports.back().ms, windowEnd);
    const auto inWindow = std::count_if(reports.begin(), reports.end(),
                                        [windowEnd](const SimLogEntry& r) { return r.ms < windowEnd; });
    EXPECT_GE(inWindow, 28);
    EXPECT_LE(inWindow, 31);
}

TEST_F(UpdateEndToEndTest, ClosingDuringADownloadEndsTheProgramAndItsServers)
{
    // The archive comes one byte a second: the download is still running when the window closes.
    Serve(L"closing", m_release);
    Program program(m_server.Url(L"/trickle/1/e2e/closing"));
    ASSERT_TRUE(program.Started());
    const HWND question = WaitForMessageBox(program.Id(), nullptr, 60000);
    ASSERT_NE(question, nullptr) << "no update question appeared";
    ASSERT_FALSE(WaitForProcess(kServerImage, 30000).empty());
    PressFirstButton(question, true);
    ASSERT_TRUE(WaitUntilGone(question, 10000));
    // The update first asks for the version text again, which also comes a byte a second.
    for (int waited = 0;
         waited < 300 && !Requested(L"/e2e/closing/q17x/software///" + std::wstring(kArchive)); ++waited)
        Sleep(100);
    ASSERT_TRUE(Requested(L"/e2e/closing/q17x/software///" + std::wstring(kArchive)));

    const HWND main = FindWindowW(nullptr, L"KELVANE");
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_CLOSE, 0, 0);
    DWORD code = 1;
    EXPECT_TRUE(program.WaitForEnd(30000, code)) << "the download held up the shutdown";
    EXPECT_TRUE(ProcessesNamed(kServerImage).empty());
    EXPECT_TRUE(ProcessesNamed(kInstaller).empty());
}
