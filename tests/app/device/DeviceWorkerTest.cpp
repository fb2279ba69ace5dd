#include "app/device/CDeviceManager.h"
#include "app/platform/KernelHandle.h"
#include "app/device/WorkerCommands.h"
#include "app/platform/ProgramLog.h"
#include "tests/app/update/TestFiles.h"
#include "tests/app/device/RecordingWorker.h"
#include "tools/displaysim/DisplaySimControl.h"

#include <gtest/gtest.h>

#include <dbt.h>

#include <string>
#include <vector>

namespace
{
using Events = std::vector<std::string>;

class DeviceWorkerTest : public ::testing::Test
{
protected:
    void Configure(const std::string& config)
    {
        ASSERT_EQ(1, displaysim_configure(config.c_str())) << config;
        displaysim_clear_records();
    }

    // Temperature reports the simulated displays have received.
    static std::vector<DisplaySimRecord> Reports()
    {
        std::vector<DisplaySimRecord> reports;
        for (int i = 0; i < displaysim_record_count(); ++i)
        {
            DisplaySimRecord record = {};
            if (displaysim_get_record(i, &record) == 1 && record.kind == DISPLAYSIM_SET)
            {
                reports.push_back(record);
            }
        }
        return reports;
    }

    void Step(int times = 1)
    {
        for (int i = 0; i < times; ++i)
        {
            m_worker.WorkStep();
        }
    }

    // A device-interface notification as the system sends it, for the display's vendor collection.
    void Notify(WPARAM event, const std::string& path)
    {
        std::vector<unsigned char> buffer(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) + path.size() * 2);
        auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(buffer.data());
        record->dbcc_size = static_cast<DWORD>(buffer.size());
        record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        for (std::size_t i = 0; i < path.size(); ++i)
        {
            record->dbcc_name[i] = static_cast<wchar_t>(path[i]);
        }
        m_worker.OnDeviceChange(event, reinterpret_cast<LPARAM>(record));
    }

    CDeviceManager m_devices;
    RecordingWorker m_worker{m_devices};
};

TEST_F(DeviceWorkerTest, RunsScansOneAStepAndDropsUpdateCommandsAndUnknownIds)
{
    Configure("displays=1");
    for (int command : {CMD_CHECK_SOFTWARE_SILENT, CMD_SCAN_DEVICES, 0, 9, -1, 3, 4, 7, 8, CMD_SCAN_DEVICES})
    {
        m_worker.Append(command);
    }
    Step();
    EXPECT_TRUE(m_worker.Events().empty()) << "an update command is not the display worker's";
    EXPECT_EQ(9u, m_worker.PendingCommands()) << "each step takes exactly one command";
    Step();
    EXPECT_EQ((Events{"label:Device:1"}), m_worker.Events());
    EXPECT_TRUE(m_worker.IsDevicePresent());
    EXPECT_TRUE(m_worker.Snapshot().IsOpen());
    Step(8);
    EXPECT_EQ((Events{"label:Device:1", "label:Device:1"}), m_worker.Events());
    EXPECT_TRUE(Reports().empty()) << "no report while commands are queued";
}

TEST_F(DeviceWorkerTest, FirmwareReadQueuesBehindTheScanAndGivesUpWithoutAWorker)
{
    Configure("displays=1; version=0x0107");
    int version = -1;
    EXPECT_FALSE(m_worker.RequestFirmwareVersion(version, 50, nullptr)) << "no worker runs";
    EXPECT_EQ(-1, version);
    m_worker.Append(CMD_SCAN_DEVICES);
    Step(2); // the read queued above answers a request that gave up: nothing is left waiting
    KernelHandle cancel(CreateEventW(nullptr, TRUE, TRUE, nullptr));
    EXPECT_FALSE(m_worker.RequestFirmwareVersion(version, 60000, cancel.get())) << "cancelled at once";
    EXPECT_EQ(-1, version);

    m_worker.Start();
    EXPECT_TRUE(m_worker.RequestFirmwareVersion(version, 60000, nullptr));
    EXPECT_EQ(0x0107, version);
    m_worker.Stop();
}

TEST_F(DeviceWorkerTest, ScanCountsTheDisplaysInTheLabelAndTheFlag)
{
    TestFolder logs(L"kelvane-device-log");
    ASSERT_TRUE(ProgramLog::Open(logs.Path()));
    for (int displays : {0, 1, 2, 0})
    {
        Configure("displays=" + std::to_string(displays));
        m_worker.ClearEvents();
        m_worker.Append(CMD_SCAN_DEVICES);
        Step();
        EXPECT_EQ((Events{"label:Device:" + std::to_string(displays)}), m_worker.Events());
        EXPECT_EQ(displays > 0, m_worker.IsDevicePresent()) << displays << " displays";
        EXPECT_EQ(displays, m_devices.Count());
    }
    // Each display once as it came and once as it went, a scan that finds it again says nothing.
    ProgramLog::Close();
    const auto count = [&logs](const std::string& part)
    { return FileLines(logs.Path() + L"program.log", part).size(); };
    EXPECT_EQ(count("display-attached path=\"\\\\?\\hid#vid_1a2c&pid_434d"), 2u);
    EXPECT_EQ(count("firmware-release=0x0100"), 2u);
    EXPECT_EQ(count("display-removed path=\""), 2u);
}

TEST_F(DeviceWorkerTest, TheTickRunsOnlyWhileADisplayIsPresent)
{
    Configure("displays=2");
    Step(2);
    EXPECT_TRUE(Reports().empty()) << "no scan yet";

    m_worker.Append(CMD_SCAN_DEVICES);
    Step();
    m_worker.SetLed(2);
    Step();
    const auto reports = Reports();
    ASSERT_EQ(2u, reports.size()) << "one tick reaches both displays";
    for (const DisplaySimRecord& report : reports)
    {
        EXPECT_EQ(0x07, report.data[0]);
        EXPECT_EQ(0xFF, report.data[1]);
        EXPECT_EQ(0, report.data[3] | report.data[4] | report.data[5]) << "LED off blanks the digits";
    }
}

TEST_F(DeviceWorkerTest, RestsUntilWokenWithoutADisplayAndUntilTheNextReportWithOne)
{
    Configure("displays=0");
    m_worker.Append(CMD_SCAN_DEVICES);
    EXPECT_EQ(0u, m_worker.NextPause()) << "a command waits";
    Step();
    EXPECT_EQ(INFINITE, m_worker.NextPause()) << "no display: nothing to wake for";

    Configure("displays=1");
    m_worker.Append(CMD_SCAN_DEVICES);
    Step();
    EXPECT_EQ(0u, m_worker.NextPause()) << "the first report is due as soon as the scan found a display";
    Step(2);
    EXPECT_EQ(1u, Reports().size()) << "the second report waits for its time";
    const DWORD rest = m_worker.NextPause();
    EXPECT_GT(rest, 0u);
    EXPECT_LE(rest, 1000u);
    m_worker.Append(CMD_SCAN_DEVICES);
    EXPECT_EQ(0u, m_worker.NextPause()) << "a command cuts the rest short";
}

TEST_F(DeviceWorkerTest, AfterUnplugAndReplugReportsResumeOnlyAfterTheRescan)
{
    Configure("displays=1");
    m_worker.Append(CMD_SCAN_DEVICES);
    Step(2);
    ASSERT_EQ(1u, Reports().size());
    const std::string path = m_devices.Entry(0).path;

    displaysim_set_plugged(0, 0);
    Notify(DBT_DEVICEREMOVECOMPLETE, path);
    EXPECT_FALSE(m_worker.IsDevicePresent()) << "cleared at the notification, before any scan";
    EXPECT_EQ(1u, m_worker.PendingCommands());
    Step(3);
    EXPECT_EQ((Events{"label:Device:1", "label:Device:0"}), m_worker.Events());
    EXPECT_EQ(1u, Reports().size()) << "a report followed the removal";

    displaysim_set_plugged(0, 1);
    m_worker.checkAnswer = true;
    Notify(DBT_DEVICEARRIVAL, path);
    EXPECT_EQ(2u, m_worker.PendingCommands());
    EXPECT_EQ(1u, m_worker.checkedPaths.size());
    Step(2);
    EXPECT_EQ(1u, Reports().size()) << "reports resumed before the rescans had run";
    Step();
    EXPECT_EQ(2u, Reports().size());
    EXPECT_EQ("label:Device:1", m_worker.Events().back());
}

TEST_F(DeviceWorkerTest, AStartedWorkerServesTheStartUpCommandsThenSendsReports)
{
    Configure("displays=1");
    m_worker.Start();
    m_worker.Append(CMD_SCAN_DEVICES);
    for (int i = 0; i < 1000 && Reports().empty(); ++i)
    {
        Sleep(10);
    }
    m_worker.Stop(); // cuts the tick's rest short
    EXPECT_FALSE(m_worker.IsRunning());
    EXPECT_EQ((Events{"label:Device:1"}), m_worker.Events());
    const std::size_t reportsAtStop = Reports().size();
    EXPECT_GE(reportsAtStop, 1u);
    Sleep(100);
    EXPECT_EQ(reportsAtStop, Reports().size()) << "a report after Stop";
}
} // namespace
