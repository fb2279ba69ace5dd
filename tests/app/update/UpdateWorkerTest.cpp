// The update worker beside the display worker: its own queue and order, and a command that waits
// on the network never costs the displays a report.
#include "app/device/CDeviceManager.h"
#include "app/platform/KernelHandle.h"
#include "app/device/WorkerCommands.h"
#include "app/update/UpdateWorker.h"
#include "tests/app/device/RecordingWorker.h"
#include "tools/displaysim/DisplaySimControl.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

namespace
{
// Records the commands it runs; a command in blockOn waits for Release first.
class RecordingRunner
{
public:
    void Run(const UpdateCommand& command)
    {
        if (command.id == blockOn)
        {
            blocked.store(true);
            WaitForSingleObject(m_release.get(), INFINITE);
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ran.push_back(command.id);
    }
    std::vector<int> Ran() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_ran;
    }
    void Release() { SetEvent(m_release.get()); }

    int blockOn = -1;
    std::atomic<bool> blocked{false}; // worker sets, test reads

private:
    KernelHandle m_release{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    mutable std::mutex m_mutex;
    std::vector<int> m_ran; // guarded by m_mutex: worker appends, test reads
};

template <typename Condition> bool WaitFor(Condition condition)
{
    for (int i = 0; i < 3000 && !condition(); ++i)
        Sleep(10);
    return condition();
}

int TemperatureReportCount()
{
    int count = 0;
    for (int i = 0; i < displaysim_record_count(); ++i)
    {
        DisplaySimRecord record = {};
        if (displaysim_get_record(i, &record) == 1 && record.kind == DISPLAYSIM_SET && record.data[1] == 0xFF)
            ++count;
    }
    return count;
}
} // namespace

TEST(UpdateWorker, RunsTheUpdateCommandsInQueueOrderAndDropsOtherIds)
{
    RecordingRunner runner;
    std::wstring version; // worker writes before Run; the test reads once Ran() shows the command
    UpdateWorker worker(
        [&](const UpdateCommand& command)
        {
            version += command.version;
            runner.Run(command);
        });
    for (int command :
         {CMD_CHECK_SOFTWARE_SILENT, CMD_SCAN_DEVICES, CMD_READ_FIRMWARE_VERSION, 0, 9,
          CMD_CHECK_FIRMWARE_SILENT, CMD_CHECK_SOFTWARE, CMD_CHECK_FIRMWARE, CMD_UPDATE_SOFTWARE})
        worker.Append(command);
    worker.Append({CMD_UPDATE_FIRMWARE, L"104"});
    EXPECT_EQ(6u, worker.PendingCommands()) << "nothing runs before Start";
    worker.Start();
    ASSERT_TRUE(WaitFor([&] { return runner.Ran().size() == 6; }));
    EXPECT_EQ((std::vector<int>{5, 6, 3, 4, 7, 8}), runner.Ran());
    EXPECT_EQ(version, L"104") << "an update keeps the version answered";

    worker.Append(CMD_CHECK_SOFTWARE);
    ASSERT_TRUE(WaitFor([&] { return runner.Ran().size() == 7; })) << "an idle worker wakes for a command";
    EXPECT_TRUE(worker.Stop());
    EXPECT_FALSE(worker.IsRunning());
}

TEST(UpdateWorker, AStopDuringABlockedCommandReportsItAndLeavesTheQueueUnrun)
{
    RecordingRunner runner;
    runner.blockOn = CMD_UPDATE_SOFTWARE;
    UpdateWorker worker([&runner](const UpdateCommand& command) { runner.Run(command); });
    worker.Start();
    worker.Append(CMD_UPDATE_SOFTWARE);
    worker.Append(CMD_CHECK_FIRMWARE);
    ASSERT_TRUE(WaitFor([&] { return runner.blocked.load(); }));

    EXPECT_FALSE(worker.Stop(50)) << "the command is still running";
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker.StopEvent(), 0)) << "waits inside may end on it";
    runner.Release();
    EXPECT_TRUE(worker.Stop());
    EXPECT_EQ((std::vector<int>{CMD_UPDATE_SOFTWARE}), runner.Ran());
    EXPECT_EQ(1u, worker.PendingCommands());
}

TEST(UpdateWorker, ABlockedCheckDoesNotHoldUpTheDisplayReports)
{
    ASSERT_EQ(1, displaysim_configure("displays=1"));
    displaysim_clear_records();
    CDeviceManager devices;
    RecordingWorker displays(devices);
    RecordingRunner runner;
    runner.blockOn = CMD_CHECK_SOFTWARE_SILENT;
    UpdateWorker updates([&runner](const UpdateCommand& command) { runner.Run(command); });

    // The start-up order: the check first, as the program queues it.
    updates.Append(CMD_CHECK_SOFTWARE_SILENT);
    updates.Append(CMD_CHECK_FIRMWARE_SILENT);
    updates.Start();
    ASSERT_TRUE(WaitFor([&] { return runner.blocked.load(); }));
    displays.Append(CMD_SCAN_DEVICES);
    displays.Start();

    ASSERT_TRUE(WaitFor([] { return TemperatureReportCount() >= 3; }));
    EXPECT_TRUE(runner.Ran().empty()) << "the check is still waiting";
    EXPECT_EQ(1u, updates.PendingCommands());

    runner.Release();
    ASSERT_TRUE(WaitFor([&] { return runner.Ran().size() == 2; }));
    EXPECT_TRUE(updates.Stop());
    displays.Stop();
}
