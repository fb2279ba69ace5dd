// The built server, run as the program runs it: no arguments, its folder's replay file or the
// system. Reads the shared block from outside.
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

// Runs the server with the given replay file (or a missing one) until its block shows `updates`
// updates; returns the block as it was then.
Block RunServer(const std::wstring& replayPath, unsigned updates)
{
    SetEnvironmentVariableW(L"THERMIVOX_REPLAY", replayPath.c_str());
    // Hold the block ourselves so it outlives the server.
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 0x248,
                                        "vulnor_hardware_mapfile");
    const auto* view = static_cast<const unsigned char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0x248));
    Block block;
    std::memcpy(block.bytes, view, sizeof block.bytes);
    const unsigned before = block.UIntAt(0x10);

    std::wstring commandLine = L"\"" + std::wstring(THERMIVOX_SERVER_WIN) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(THERMIVOX_SERVER_WIN, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &info))
    {
        for (int waited = 0; waited < 100; ++waited)
        {
            std::memcpy(block.bytes, view, sizeof block.bytes);
            if (block.UIntAt(0x10) >= before + updates)
                break;
            Sleep(100);
        }
        TerminateProcess(info.hProcess, 0);
        WaitForSingleObject(info.hProcess, 5000);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
    UnmapViewOfFile(view);
    CloseHandle(mapping);
    return block;
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
    // Stand in for a running program by holding its single-instance mutex.
    HANDLE programMutex = CreateMutexW(nullptr, TRUE, L"Tarvik Kelvane");
    ASSERT_NE(programMutex, nullptr);
    SetEnvironmentVariableW(L"THERMIVOX_REPLAY", TempFile(L"thermivox_no_such_curve.txt").c_str());
    std::wstring commandLine = L"\"" + std::wstring(THERMIVOX_SERVER_WIN) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    ASSERT_TRUE(CreateProcessW(THERMIVOX_SERVER_WIN, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &info));
    CloseHandle(info.hThread);
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 17000), static_cast<DWORD>(WAIT_TIMEOUT))
        << "still serving past the grace period while the program runs";
    CloseHandle(programMutex);
    const DWORD ended = WaitForSingleObject(info.hProcess, 25000);
    EXPECT_EQ(ended, static_cast<DWORD>(WAIT_OBJECT_0)) << "gone once no program has run for a while";
    if (ended != WAIT_OBJECT_0)
        TerminateProcess(info.hProcess, 0);
    CloseHandle(info.hProcess);
}
