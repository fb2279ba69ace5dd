// The whole update road with our own release: a running program finds a newer version on the local
// update server, says YES, downloads the archive and starts its installer; the installer replaces it,
// and afterwards one program, one server and one tray icon run.
#include "tests/app/update/TestFiles.h"
#include "tests/app/update/TestServer.h"
#include "tests/scripts/Installation.h"
#include "tests/scripts/RunningProcesses.h"
#include "TestVersions.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#if !defined(TK_E2E_RELEASE_DIR) || !defined(TK_E2E_STAGE_DIR)
#error "TK_E2E_RELEASE_DIR names the packaged next release, TK_E2E_STAGE_DIR the staged program"
#endif

namespace
{
constexpr wchar_t kArchive[] = L"Software-" TK_TEST_NEXT_VERSION_WIDE L".zip";
constexpr wchar_t kInstaller[] = L"Software-" TK_TEST_NEXT_VERSION_WIDE L".exe";
constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvik Kelvane";

// The update question: the system's box titled by the update kind, or the skinned one.
HWND UpdateQuestion(DWORD process)
{
    const HWND system = VisibleWindowOf(process, L"Tarvik Kelvane Software Updates");
    return system ? system : VisibleWindowOf(process, L"MessageBox");
}

void PressYes(HWND box)
{
    wchar_t name[32] = {};
    GetClassNameW(box, name, 32);
    if (std::wstring(name) == L"#32770")
    {
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, IDYES)));
        return;
    }
    // The skinned box, 380 x 200: YES at (70, 140)-(170, 170).
    const LPARAM point = MAKELPARAM(120, 155);
    PostMessageW(box, WM_MOUSEMOVE, 0, point);
    PostMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(box, WM_LBUTTONUP, 0, point);
}
} // namespace

TEST(UpdateChain, OurReleaseReplacesTheRunningProgramAndLeavesOneOfEach)
{
    TestServer server;
    ASSERT_TRUE(server.IsAvailable()) << "the update_server fixture is not running";
    // Served exactly as packaged and signed: the version file, the archive and its signature.
    const std::wstring packaged = std::wstring(TK_E2E_RELEASE_DIR) + L"server\\q17x\\software\\";
    const std::string archive = ReadFileBytes(packaged + kArchive);
    ASSERT_GT(archive.size(), 100000u) << "the packaged release is missing";
    RemoveTree(server.Root() + L"chain\\");
    for (const std::wstring name : {L"version", L"Software-" TK_TEST_NEXT_VERSION_WIDE L".zip",
                                    L"Software-" TK_TEST_NEXT_VERSION_WIDE L".zip.sig"})
        ASSERT_TRUE(server.Put(L"chain\\q17x\\software\\" + name, ReadFileBytes(packaged + name))) << name;
    const std::size_t logBefore = server.Log().size();
    CleanInstallation();
    // The installer offers the folder of the installed program; ours stands in for an installed one.
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation", REG_SZ, kFolder, sizeof kFolder);

    SetEnvironmentVariableW(L"TK_E2E_UPDATE_HOST", server.Url(L"/chain").c_str());
    ChildProcess program(L"\"" + std::wstring(TK_E2E_STAGE_DIR) + L"kelvane_update_e2e.exe\"");
    ASSERT_TRUE(program.Started());
    HWND question = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (question = UpdateQuestion(program.Id())) != nullptr; }, 60000))
        << "no update question";
    PressYes(question);

    std::vector<DWORD> installers;
    ASSERT_TRUE(WaitUntil([&] { return !(installers = ProcessesNamed(kInstaller)).empty(); }, 120000))
        << "the installer was not started";
    HWND setup = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (setup = VisibleWindowOf(installers.front(), nullptr)) != nullptr; }, 30000));
    // The folder page: Install.
    PostMessageW(setup, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(setup, IDOK)));
    EXPECT_TRUE(WaitUntil([] { return ProcessesNamed(kInstaller).empty(); }, 120000))
        << "the installer did not end";

    const std::vector<std::string> log = server.Log();
    EXPECT_TRUE(std::any_of(log.begin() + static_cast<std::ptrdiff_t>(std::min(logBefore, log.size())),
                            log.end(),
                            [](const std::string& line)
                            {
                                return line.find("GET /chain/q17x/software///Software-" TK_TEST_NEXT_VERSION
                                                 ".zip.sig ") != std::string::npos &&
                                       line.find("\" 200 ") != std::string::npos;
                            }))
        << "the signature was not fetched";
    DWORD code = 1;
    EXPECT_TRUE(program.WaitForEnd(0, code)) << "the old program still runs";
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(OneProgramAndServerRun()) << "the installer did not start the new program";
    EXPECT_EQ(SteadyProcessesNamed(kProgram).size(), 1u);
    EXPECT_EQ(SteadyProcessesNamed(kServer).size(), 1u);
    EXPECT_TRUE(WaitUntil([] { return WineTrayIcons() == 1; }, 10000)) << "tray icons: " << WineTrayIcons();

    RunSilently(L"\"" + InFolder(L"Uninstall.exe") + L"\" /S");
    WaitUntil([] { return !PathExists(std::wstring(kFolder) + L"\\"); }, 60000);
    CleanInstallation();
}
