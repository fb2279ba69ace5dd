#include "app/device/SnapshotMapping.h"
#include "tests/app/device/WritableSnapshot.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace
{
// Runs snapshotwriter.exe (built beside the tests) and waits for it.
DWORD RunSnapshotWriter(const std::string& arguments)
{
    std::string command = "snapshotwriter.exe " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
    {
        return 0xFFFFFFFF;
    }
    WaitForSingleObject(process.hProcess, 30000);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}
} // namespace

TEST(SnapshotMapping, CreatedByTheProgramReadsAsZeros)
{
    SnapshotMapping mapping(UniqueSnapshotName());
    EXPECT_FALSE(mapping.IsOpen());
    EXPECT_EQ(mapping.View(), nullptr);
    ASSERT_TRUE(mapping.OpenSnapshot());
    const volatile std::uint8_t* view = mapping.View();
    ASSERT_NE(view, nullptr);
    for (std::size_t i = 0; i < SensorSnapshot::kSize; ++i)
    {
        ASSERT_EQ(view[i], 0) << i;
    }
    const SensorSnapshot snapshot(view);
    EXPECT_EQ(snapshot.CpuDegrees(), 0);
    EXPECT_EQ(snapshot.GpuDegrees(), 0);
    EXPECT_FALSE(snapshot.IsServerDelivering());

    // Opening again keeps the view.
    EXPECT_TRUE(mapping.OpenSnapshot());
    EXPECT_EQ(mapping.View(), view);
}

TEST(SnapshotMapping, ViewIsReadOnlyAndCoversTheBlock)
{
    SnapshotMapping mapping(UniqueSnapshotName());
    ASSERT_TRUE(mapping.OpenSnapshot());
    MEMORY_BASIC_INFORMATION info{};
    ASSERT_NE(VirtualQuery(const_cast<const std::uint8_t*>(mapping.View()), &info, sizeof info), 0u);
    EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_READONLY));
    EXPECT_GE(info.RegionSize, SensorSnapshot::kSize);
}

TEST(SnapshotMapping, OpensTheBlockTheServerCreated)
{
    const std::string name = UniqueSnapshotName();
    WritableSnapshot server(name);
    ASSERT_TRUE(server.IsOpen());
    server.Float(SensorSnapshot::kCpuTemperatureOffset, 52.7f);
    server.Float(SensorSnapshot::kCpuLivenessOffset, 1.0f);

    SnapshotMapping mapping(name);
    ASSERT_TRUE(mapping.OpenSnapshot());
    const SensorSnapshot snapshot(mapping.View());
    EXPECT_EQ(snapshot.CpuDegrees(), 52);
    EXPECT_TRUE(snapshot.IsServerDelivering());
    // Later writes show through the same view.
    server.Float(SensorSnapshot::kCpuTemperatureOffset, 60.1f);
    EXPECT_EQ(snapshot.CpuDegrees(), 60);
}

TEST(SnapshotMapping, AnotherProcessWritesTheReadings)
{
    const std::string name = UniqueSnapshotName();
    SnapshotMapping mapping(name);
    ASSERT_TRUE(mapping.OpenSnapshot());
    ASSERT_EQ(RunSnapshotWriter("--name " + name + " --cpu 45.6 --live 1 --gpu2 \"Second GPU\" 71.2"), 0u);
    const SensorSnapshot snapshot(mapping.View());
    EXPECT_EQ(snapshot.CpuDegrees(), 45);
    EXPECT_TRUE(snapshot.IsServerDelivering());
    EXPECT_FALSE(snapshot.IsGpuSlotNamed(0));
    EXPECT_TRUE(snapshot.IsGpuSlotNamed(1));
    EXPECT_EQ(snapshot.GpuDegrees(), 71);

    // Garbage floats come through as written; fields not named keep their value.
    ASSERT_EQ(RunSnapshotWriter("--name " + name + " --cpu nan"), 0u);
    EXPECT_EQ(snapshot.CpuDegrees(), -2147483647 - 1);
    EXPECT_EQ(snapshot.GpuDegrees(), 71);
    // Unparsable input is refused without touching the block.
    EXPECT_EQ(RunSnapshotWriter("--name " + name + " --cpu warm"), 2u);
    EXPECT_EQ(snapshot.GpuDegrees(), 71);
}

TEST(SnapshotMapping, MissingSnapshotName)
{
    // A name the system cannot create (a backslash outside a namespace prefix): no view, no crash.
    SnapshotMapping mapping("no\\such\\namespace\\block");
    EXPECT_FALSE(mapping.OpenSnapshot());
    EXPECT_FALSE(mapping.IsOpen());
    EXPECT_FALSE(mapping.OpenSnapshot()) << "retried, still failing";
}
