// Which sensor servers the program ends: only its own, from its two server folders. Servers are
// placed in scratch program folders below the temporary folder and started for real.
#include "app/core/SensorServer.h"

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

// A program folder of its own below the temporary folder; its files go with it.
class ScratchFolder
{
public:
    explicit ScratchFolder(const std::wstring& name)
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_path = temp + name + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~ScratchFolder()
    {
        for (auto it = m_files.rbegin(); it != m_files.rend(); ++it)
            if (!DeleteFileW(it->c_str()))
                RemoveDirectoryW(it->c_str());
        RemoveDirectoryW(m_path.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& Path() const { return m_path; }

    // Copies source to sub-folder sub (empty: the folder itself) as "ThermivoxServer.exe".
    std::wstring PlaceServer(const std::wstring& source, const std::wstring& sub)
    {
        if (!sub.empty() && CreateDirectoryW((m_path + sub).c_str(), nullptr))
            m_files.push_back(m_path + sub);
        const std::wstring target = m_path + sub + (sub.empty() ? L"" : L"\\") + L"ThermivoxServer.exe";
        if (CopyFileW(source.c_str(), target.c_str(), FALSE))
            m_files.push_back(target);
        return target;
    }

private:
    std::wstring m_path;
    std::vector<std::wstring> m_files; // in the order made; removed in reverse
};

std::wstring Upper(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

std::wstring Self()
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return self;
}

const SensorServerEnding* EndingOf(const std::vector<SensorServerEnding>& endings, DWORD processId)
{
    for (const SensorServerEnding& ending : endings)
        if (ending.processId == processId)
            return &ending;
    return nullptr;
}

bool ServerIsUp()
{
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"ThermivoxServer single instance");
    if (mutex)
        CloseHandle(mutex);
    return mutex != nullptr;
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
        {true, L"HardwareMonitor", Outcome::Ended, ""},
        {true, L"HardwareMonitorWin7", Outcome::Ended, ""},
        {false, L"HardwareMonitor", Outcome::NotOurs, "another folder"},
        {true, L"", Outcome::NotOurs, "another folder"}, // the program folder is no server folder
        {true, L"Tools", Outcome::NotOurs, "another folder"},
    };
    for (const Case& c : cases)
    {
        ScratchFolder own(L"TkOwnProgram");
        ScratchFolder other(L"TkOtherProgram");
        const std::wstring path = (c.ownFolder ? own : other).PlaceServer(THERMIVOX_SERVER_WIN, c.sub);
        ChildProcess server(L"\"" + path + L"\"");
        ASSERT_TRUE(server.Started()) << path.c_str();
        // It is up once it has created its single-instance mutex.
        WaitUntil(ServerIsUp, 5000);

        // The folder in other letter case: paths are compared as the file system does.
        const auto endings = EndSensorServersOf(Upper(own.Path()));
        const SensorServerEnding* ending = EndingOf(endings, server.Id());
        ASSERT_NE(ending, nullptr) << path.c_str();
        EXPECT_EQ(ending->outcome, c.outcome) << path.c_str();
        EXPECT_STREQ(ending->reason, c.reason) << path.c_str();
        EXPECT_EQ(StillRuns(server), c.outcome != Outcome::Ended) << path.c_str();
        server.End();
    }
}

TEST(EndSensorServers, AnotherFoldersServerFirstInTheListDoesNotShieldOurs)
{
    // Copies of this test program that linger: unlike the stand-in, several may run at once.
    ScratchFolder own(L"TkOwnProgram");
    ScratchFolder other(L"TkOtherProgram");
    ChildProcess foreign(L"\"" + other.PlaceServer(Self(), L"HardwareMonitor") + L"\" --linger");
    Sleep(200);
    ChildProcess ours10(L"\"" + own.PlaceServer(Self(), L"HardwareMonitor") + L"\" --linger");
    ChildProcess ours7(L"\"" + own.PlaceServer(Self(), L"HardwareMonitorWin7") + L"\" --linger");
    ASSERT_TRUE(foreign.Started() && ours10.Started() && ours7.Started());

    const auto endings = EndSensorServersOf(own.Path());
    ASSERT_NE(EndingOf(endings, foreign.Id()), nullptr);
    EXPECT_EQ(EndingOf(endings, foreign.Id())->outcome, Outcome::NotOurs);
    EXPECT_TRUE(StillRuns(foreign));
    for (const ChildProcess* ours : {&ours10, &ours7})
    {
        ASSERT_NE(EndingOf(endings, ours->Id()), nullptr);
        EXPECT_EQ(EndingOf(endings, ours->Id())->outcome, Outcome::Ended);
        EXPECT_FALSE(StillRuns(*ours));
    }
}
