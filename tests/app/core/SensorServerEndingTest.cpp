// Which sensor servers the program ends: only its own, from its two server folders. Servers are
// placed in scratch program folders and started for real.
#include "app/core/SensorServer.h"

#include "tests/app/update/TestFiles.h"
#include "tests/scripts/RunningProcesses.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cwctype>
#include <string>
#include <vector>

#ifndef THERMIVOX_SERVER_WIN
#error "THERMIVOX_SERVER_WIN names the built stand-in server"
#endif

namespace
{
using Outcome = SensorServerEnding::Outcome;

// Copies source into folder + sub as "ThermivoxServer.exe" and starts it with arguments.
std::wstring StartLine(const std::wstring& source, const std::wstring& folder, const std::wstring& sub,
                       const wchar_t* arguments)
{
    CreateDirectoryW((folder + sub).c_str(), nullptr);
    const std::wstring target = folder + sub + L"ThermivoxServer.exe";
    CopyFileW(source.c_str(), target.c_str(), FALSE);
    return L"\"" + target + L"\" " + arguments;
}

std::wstring Self()
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return self;
}

Outcome OutcomeOf(const std::vector<SensorServerEnding>& endings, const ChildProcess& process,
                  std::string& reason)
{
    reason = "not listed";
    for (const SensorServerEnding& ending : endings)
    {
        if (ending.processId == process.Id())
        {
            reason = ending.reason;
            return ending.outcome;
        }
    }
    return Outcome::Failed;
}

bool StillRuns(const ChildProcess& process)
{
    DWORD code = 0;
    return !process.WaitForEnd(0, code);
}
} // namespace

TEST(EndSensorServers, EndsTheStandInOnlyFromTheProgramsOwnServerFolders)
{
    struct Case
    {
        bool ownFolder;
        const wchar_t* sub;
        Outcome outcome;
        const char* reason;
    };
    const Case cases[] = {
        {true, L"HardwareMonitor\\", Outcome::Ended, ""},
        {true, L"HardwareMonitorWin7\\", Outcome::Ended, ""},
        {false, L"HardwareMonitor\\", Outcome::NotOurs, "another folder"},
        {true, L"", Outcome::NotOurs, "another folder"}, // the program folder is no server folder
        {true, L"Tools\\", Outcome::NotOurs, "another folder"},
    };
    for (const Case& c : cases)
    {
        TestFolder own(L"TkOwnProgram");
        TestFolder other(L"TkOtherProgram");
        ChildProcess server(StartLine(THERMIVOX_SERVER_WIN, (c.ownFolder ? own : other).Path(), c.sub, L""));
        ASSERT_TRUE(server.Started());
        // Up once it has made its single-instance mutex.
        WaitUntil(
            []
            {
                HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"ThermivoxServer single instance");
                return mutex && CloseHandle(mutex);
            },
            5000);

        std::wstring folder = own.Path(); // in other letter case: compared as the file system does
        for (wchar_t& ch : folder)
            ch = static_cast<wchar_t>(std::towupper(ch));
        std::string reason;
        EXPECT_EQ(OutcomeOf(EndSensorServersOf(folder), server, reason), c.outcome) << c.ownFolder << c.sub;
        EXPECT_EQ(reason, c.reason);
        EXPECT_EQ(StillRuns(server), c.outcome != Outcome::Ended);
        server.End();
    }
}

TEST(EndSensorServers, AnotherFoldersServerFirstInTheListDoesNotShieldOurs)
{
    // Lingering copies of this test program: unlike the stand-in, several may run at once.
    TestFolder own(L"TkOwnProgram");
    TestFolder other(L"TkOtherProgram");
    ChildProcess foreign(StartLine(Self(), other.Path(), L"HardwareMonitor\\", L"--linger"));
    Sleep(200);
    ChildProcess ours10(StartLine(Self(), own.Path(), L"HardwareMonitor\\", L"--linger"));
    ChildProcess ours7(StartLine(Self(), own.Path(), L"HardwareMonitorWin7\\", L"--linger"));
    ASSERT_TRUE(foreign.Started() && ours10.Started() && ours7.Started());

    const auto endings = EndSensorServersOf(own.Path());
    std::string reason;
    EXPECT_EQ(OutcomeOf(endings, foreign, reason), Outcome::NotOurs);
    EXPECT_TRUE(StillRuns(foreign));
    EXPECT_EQ(OutcomeOf(endings, ours10, reason), Outcome::Ended);
    EXPECT_EQ(OutcomeOf(endings, ours7, reason), Outcome::Ended);
    EXPECT_FALSE(StillRuns(ours10) || StillRuns(ours7));
}
