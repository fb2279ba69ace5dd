// The built server, run as the program runs it: no arguments, its folder's replay file or the
// system. Reads the shared block from outside.
#include "tests/scripts/RunningProcesses.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <fstream>
#include <string>

#ifndef THERMIVOX_SERVER_WIN
#error "THERMIVOX_SERVER_WIN names the built server"
#endif

namespace
{
constexpr DWORD kAlreadyRunningExitCode = 3;

struct Block
{
    unsigned char bytes[0x248] = {};

    float FloatAt(std::size_t offset) const
    {
        float value;
        std::memcpy(&value, bytes + offset, sizeof value);
        return value;
    }
    unsigned UIntAt(std::size_t offset) const
    {
        unsigned value;
        std::memcpy(&value, bytes + offset, sizeof value);
        return value;
    }
    std::string TextAt(std::size_t offset) const { return reinterpret_cast<const char*>(bytes + offset); }
};

// Holds the shared block from outside, so it outlives the servers.
class BlockReader
{
public:
    BlockReader()
        : m_mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 0x248,
                                       "vulnor_hardware_mapfile")),
          m_view(static_cast<const unsigned char*>(MapViewOfFile(m_mapping, FILE_MAP_READ, 0, 0, 0x248)))
    {
    }
    ~BlockReader()
    {
        UnmapViewOfFile(m_view);
        CloseHandle(m_mapping);
    }
    BlockReader(const BlockReader&) = delete;
    BlockReader& operator=(const BlockReader&) = delete;

    Block Read() const
    {
        Block block;
        std::memcpy(block.bytes, m_view, sizeof block.bytes);
        return block;
    }
    // Waits until the block satisfies done; the block as it was then.
    template <typename Done> Block WaitFor(Done done) const
    {
        Block block = Read();
        for (int waited = 0; waited < 300 && !done(block); ++waited)
        {
            Sleep(100);
            block = Read();
        }
        return block;
    }

private:
    HANDLE m_mapping;
    const unsigned char* m_view;
};

// One server started as the program starts it: no arguments.
class ServerProcess : public ChildProcess
{
public:
    ServerProcess() : ChildProcess(L"\"" + std::wstring(THERMIVOX_SERVER_WIN) + L"\"") {}
};

// Ends servers that earlier tests or programs left behind: only one may run at a time.
void EndStrayServers()
{
    EndProcesses(ProcessesNamed(L"ThermivoxServer.exe"));
}

// Runs the server with the given replay file (or a missing one) until its block shows `updates`
// updates; returns the block as it was then.
Block RunServer(const std::wstring& replayPath, unsigned updates)
{
    EndStrayServers();
    SetEnvironmentVariableW(L"THERMIVOX_REPLAY", replayPath.c_str());
    const BlockReader reader;
    const unsigned before = reader.Read().UIntAt(0x10);
    ServerProcess server;
    if (!server.Started())
        return reader.Read();
    return reader.WaitFor([&](const Block& block) { return block.UIntAt(0x10) >= before + updates; });
}

std::wstring TempFile(const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}
} // namespace

TEST(SensorServerProcess, ReplaysItsFileIntoTheProgramsFields)
{
    const std::wstring replay = TempFile(L"thermivox_test_curve.txt");
    std::ofstream(replay.c_str()) << "cpu=55.5 gpu2name=Test_GPU gpu2=70.25 ms=150\n"
                                     "cpu=56.5 live=0 gpu1name=First gpu1=40 ms=150\n";
    const Block block = RunServer(replay, 2);
    EXPECT_EQ(block.TextAt(0x00), "THRMVX1");
    EXPECT_EQ(block.UIntAt(0x14), 2u) << "source: replay";
    EXPECT_EQ(block.TextAt(0x18), "HardwareMonitor");
    EXPECT_FLOAT_EQ(block.FloatAt(0x98), 56.5f);
    EXPECT_FLOAT_EQ(block.FloatAt(0x9C), 0.0f);
    EXPECT_EQ(block.TextAt(0xA0), "First");
    EXPECT_FLOAT_EQ(block.FloatAt(0x128), 40.0f);
    EXPECT_EQ(block.TextAt(0x130), "Test GPU");
    EXPECT_FLOAT_EQ(block.FloatAt(0x1B8), 70.25f);
    DeleteFileW(replay.c_str());
}

TEST(SensorServerProcess, WithoutSensorsItSaysSoInsteadOfInventingReadings)
{
    const Block block = RunServer(TempFile(L"thermivox_no_such_curve.txt"), 1);
    EXPECT_EQ(block.TextAt(0x00), "THRMVX1");
    const unsigned source = block.UIntAt(0x14);
    ASSERT_NE(source, 2u);
    if (source == 0) // no thermal zone and no GPU data (the normal case under Wine)
    {
        EXPECT_FLOAT_EQ(block.FloatAt(0x9C), 0.0f);
        EXPECT_FLOAT_EQ(block.FloatAt(0x98), 0.0f);
        EXPECT_EQ(block.TextAt(0xA0), "");
    }
}

TEST(SensorServerProcess, StaysWhileTheProgramRunsAndEndsOnItsOwnAfterwards)
{
    EndStrayServers();
    // Stand in for a running program by holding its single-instance mutex.
    HANDLE programMutex = CreateMutexW(nullptr, TRUE, L"Tarvik Kelvane");
    ASSERT_NE(programMutex, nullptr);
    SetEnvironmentVariableW(L"THERMIVOX_REPLAY", TempFile(L"thermivox_no_such_curve.txt").c_str());
    ServerProcess server;
    ASSERT_TRUE(server.Started());
    DWORD code = 0;
    EXPECT_FALSE(server.WaitForEnd(17000, code))
        << "still serving past the grace period while the program runs";
    CloseHandle(programMutex);
    EXPECT_TRUE(server.WaitForEnd(25000, code)) << "gone once no program has run for a while";
}

TEST(SensorServerProcess, OnlyOneServesAndAnEndedOneIsReplacedAtOnce)
{
    EndStrayServers();
    HANDLE programMutex = CreateMutexW(nullptr, TRUE, L"Tarvik Kelvane");
    SetEnvironmentVariableW(L"THERMIVOX_REPLAY", TempFile(L"thermivox_no_such_curve.txt").c_str());
    const BlockReader reader;
    auto startedAs = [&](DWORD id) { return [id](const Block& block) { return block.UIntAt(0x0C) == id; }; };

    ServerProcess first;
    ASSERT_TRUE(first.Started());
    ASSERT_EQ(reader.WaitFor(startedAs(first.Id())).UIntAt(0x0C), first.Id());
    const unsigned starts = reader.Read().UIntAt(0x08);
    const unsigned refused = reader.Read().UIntAt(0x58);

    // Started twice more, as the watch does on every tick without readings.
    for (int copy = 0; copy < 2; ++copy)
    {
        ServerProcess second;
        ASSERT_TRUE(second.Started());
        DWORD code = 0;
        ASSERT_TRUE(second.WaitForEnd(30000, code)) << "a second copy keeps running";
        EXPECT_EQ(code, kAlreadyRunningExitCode);
    }
    DWORD code = 0;
    EXPECT_FALSE(first.WaitForEnd(0, code)) << "the first copy was disturbed";
    EXPECT_EQ(reader.Read().UIntAt(0x08), starts) << "a refused copy counted as a start";
    EXPECT_EQ(reader.Read().UIntAt(0x58), refused + 2);
    EXPECT_EQ(reader.Read().UIntAt(0x0C), first.Id());

    // Ended and replaced the way the program does it at start: no wait in between.
    HANDLE dying = OpenProcess(PROCESS_TERMINATE, FALSE, first.Id());
    TerminateProcess(dying, 0);
    CloseHandle(dying);
    ServerProcess replacement;
    ASSERT_TRUE(replacement.Started());
    EXPECT_EQ(reader.WaitFor(startedAs(replacement.Id())).UIntAt(0x0C), replacement.Id())
        << "no new server after the old one died";
    EXPECT_FALSE(replacement.WaitForEnd(0, code));
    CloseHandle(programMutex);
}
