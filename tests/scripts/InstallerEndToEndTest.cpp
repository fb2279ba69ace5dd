// Our own release's installer and uninstaller, run silently the way an update or a user runs them:
// over a running program and sensor server, and with them running at uninstall time.
#include "tests/app/update/TestFiles.h"
#include "tests/scripts/Installation.h"
#include "tests/scripts/RunningProcesses.h"

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifndef TK_INSTALLER_WIN
#error "TK_INSTALLER_WIN names the packaged installer"
#endif

namespace
{
constexpr wchar_t kTaskName[] = L"KELVANE StartupTask";

std::wstring StartMenuLink()
{
    wchar_t programs[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs);
    return std::wstring(programs) + L"\\Tarvik Kelvane.lnk";
}

long Install()
{
    return RunSilently(L"\"" + std::wstring(TK_INSTALLER_WIN) + L"\" /S /D=" + kFolder);
}

// The program's own registration of its logon task cannot succeed under Wine (no logon triggers),
// so a task of the same name, made with the system's own tool, stands in for it.
bool RegisterStandInTask()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring xml = std::wstring(temp) + L"kelvane-stand-in-task.xml";
    WriteFileBytes(xml,
                   "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">"
                   "<Actions><Exec><Command>C:\\TkInstallerTest\\x.exe</Command></Exec></Actions></Task>");
    return RunSilently(L"schtasks.exe /Create /TN \"" + std::wstring(kTaskName) + L"\" /XML \"" + xml +
                       L"\"") == 0;
}

bool TaskExists()
{
    return RunSilently(L"schtasks.exe /Change /TN \"" + std::wstring(kTaskName) + L"\" /ENABLE") == 0;
}

class InstallerEndToEndTest : public ::testing::Test
{
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }

    static void Clean() { CleanInstallation(); }
};
} // namespace

TEST_F(InstallerEndToEndTest, InstallOverARunningProgramLeavesOneProgramOneServerOneIcon)
{
    ASSERT_EQ(Install(), 0);
    ASSERT_TRUE(OneProgramAndServerRun()) << "the first install did not start the program";
    const DWORD oldProgram = ProcessesNamed(kProgram).front();
    const std::vector<DWORD> oldServers = ProcessesNamed(kServer);
    HANDLE old = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, oldProgram);
    ASSERT_NE(old, nullptr);

    ASSERT_EQ(Install(), 0);
    DWORD oldCode = STILL_ACTIVE;
    GetExitCodeProcess(old, &oldCode);
    CloseHandle(old);
    EXPECT_EQ(oldCode, 0u) << "the old program was not asked to leave but ended by force";
    ASSERT_TRUE(OneProgramAndServerRun()) << "the installer did not start the program again";
    const std::vector<DWORD> programs = SteadyProcessesNamed(kProgram);
    ASSERT_EQ(programs.size(), 1u);
    EXPECT_NE(programs.front(), oldProgram) << "the old program was not replaced";
    const std::vector<DWORD> servers = SteadyProcessesNamed(kServer);
    ASSERT_EQ(servers.size(), 1u);
    for (const DWORD old : oldServers)
        EXPECT_NE(servers.front(), old) << "the old server survived the install";
    EXPECT_TRUE(WaitUntil([] { return WineTrayIcons() == 1; }, 10000)) << "tray icons: " << WineTrayIcons();

    // The count is read off the screen: a second icon of our own must show as a second one.
    NOTIFYICONDATAW icon = {};
    icon.cbSize = sizeof icon;
    icon.hWnd = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    icon.uID = 1;
    icon.uFlags = NIF_ICON;
    icon.hIcon = LoadIconW(nullptr, IDI_WARNING);
    ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &icon));
    EXPECT_TRUE(WaitUntil([] { return WineTrayIcons() == 2; }, 10000)) << "tray icons: " << WineTrayIcons();
    Shell_NotifyIconW(NIM_DELETE, &icon);
    DestroyWindow(icon.hWnd);
}

TEST_F(InstallerEndToEndTest, AProgramThatDoesNotLeaveWhenAskedIsEndedByForce)
{
    ASSERT_EQ(Install(), 0);
    ASSERT_TRUE(OneProgramAndServerRun());
    const DWORD hung = ProcessesNamed(kProgram).front();
    HANDLE old = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, hung);
    ASSERT_NE(old, nullptr);
    SuspendProcess(hung);

    ASSERT_EQ(Install(), 0);
    DWORD oldCode = STILL_ACTIVE;
    GetExitCodeProcess(old, &oldCode);
    CloseHandle(old);
    EXPECT_NE(oldCode, static_cast<DWORD>(STILL_ACTIVE)) << "the hung program is still there";
    EXPECT_NE(oldCode, 0u) << "a suspended program cannot have left on its own";
    ASSERT_TRUE(OneProgramAndServerRun()) << "the installer did not start the program again";
    EXPECT_NE(ProcessesNamed(kProgram).front(), hung);
}

TEST_F(InstallerEndToEndTest, UninstallWhileProgramAndServerRunLeavesNoProcessAndNoFile)
{
    ASSERT_EQ(Install(), 0);
    ASSERT_TRUE(OneProgramAndServerRun());
    ASSERT_TRUE(RegisterStandInTask());
    ASSERT_TRUE(TaskExists());
    ASSERT_TRUE(PathExists(StartMenuLink()));

    // The uninstaller copies itself away and runs from there, so its own process ends at once.
    ASSERT_EQ(RunSilently(L"\"" + InFolder(L"Uninstall.exe") + L"\" /S"), 0);
    EXPECT_TRUE(WaitUntil([] { return !PathExists(std::wstring(kFolder) + L"\\"); }, 60000))
        << "left behind: " << ReadTree(std::wstring(kFolder) + L"\\").size() << " entries";
    EXPECT_TRUE(ProcessesNamed(kProgram).empty());
    EXPECT_TRUE(ProcessesNamed(kServer).empty());
    EXPECT_FALSE(TaskExists()) << "the logon task is still registered";
    EXPECT_FALSE(PathExists(StartMenuLink()));
}
