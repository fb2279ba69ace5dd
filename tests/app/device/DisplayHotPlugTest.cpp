#include "app/device/CDeviceManager.h"
#include "app/device/DeviceNotifications.h"
#include "app/device/DisplayInterfaceCheck.h"
#include "app/device/DisplayInterfaceName.h"
#include "app/device/WorkerCommands.h"
#include "tests/app/device/RecordingWorker.h"
#include "tools/displaysim/DisplaySimControl.h"

#include <gtest/gtest.h>

#include <dbt.h>

#include <string>
#include <vector>

namespace
{
const wchar_t kUpperPath[] = L"\\\\?\\HID#VID_1A2C&PID_434D&MI_01#7&1D2E3F&0&0000#{4D1E55B2-F16F-11CF-88CB-"
                             L"001111000030}";
const wchar_t kLowerPath[] = L"\\\\?\\hid#vid_1a2c&pid_434d&mi_01#7&1d2e3f&0&0000#{4d1e55b2-f16f-11cf-88cb-"
                             L"001111000030}";
const wchar_t kOtherVendorPath[] = L"\\\\?\\HID#VID_046D&PID_C077#7&2A&0&0000#{4d1e55b2-f16f-11cf-88cb-"
                                   L"001111000030}";

// A broadcast record as the system builds it: header, class, then the name and its terminator.
// declaredChars: how many name characters the record's size covers (default: all, terminator too).
std::vector<unsigned char> InterfaceRecord(const std::wstring& name,
                                           DWORD deviceType = DBT_DEVTYP_DEVICEINTERFACE,
                                           std::size_t declaredChars = std::wstring::npos)
{
    const std::size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    std::vector<unsigned char> buffer(nameOffset + (name.size() + 1) * sizeof(wchar_t));
    auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(buffer.data());
    const std::size_t chars = declaredChars == std::wstring::npos ? name.size() + 1 : declaredChars;
    record->dbcc_size = static_cast<DWORD>(nameOffset + chars * sizeof(wchar_t));
    record->dbcc_devicetype = deviceType;
    name.copy(record->dbcc_name, name.size());
    return buffer;
}

const DEV_BROADCAST_HDR* Header(const std::vector<unsigned char>& record)
{
    return reinterpret_cast<const DEV_BROADCAST_HDR*>(record.data());
}

class DisplayHotPlugTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(1, displaysim_configure("displays=1"));
        // Give the flag something to clear.
        m_worker.Append(CMD_SCAN_DEVICES);
        m_worker.WorkStep();
        ASSERT_TRUE(m_worker.IsDevicePresent());
    }

    void Change(WPARAM event, const std::vector<unsigned char>& record)
    {
        m_worker.OnDisplayInterfaceChange(event, Header(record));
    }

    CDeviceManager m_devices;
    RecordingWorker m_worker{m_devices};
};
} // namespace

TEST(DisplayInterfaceName, MatchesThePairInAnyLetterCaseOnly)
{
    EXPECT_TRUE(NamesDisplayInterface(kUpperPath));
    EXPECT_TRUE(NamesDisplayInterface(kLowerPath));
    EXPECT_TRUE(NamesDisplayInterface(L"usb#Vid_1a2C&pId_434d#5&3a"));
    EXPECT_FALSE(NamesDisplayInterface(kOtherVendorPath));
    EXPECT_FALSE(NamesDisplayInterface(L"\\\\?\\HID#VID_1A2C&PID_434E#7"));
    EXPECT_FALSE(NamesDisplayInterface(L"\\\\?\\HID#VID_1A2C#PID_434D"));
    EXPECT_FALSE(NamesDisplayInterface(L""));
}

TEST_F(DisplayHotPlugTest, ACheckedArrivalQueuesTwoScansAnyOtherArrivalOne)
{
    m_worker.checkAnswer = true;
    Change(DBT_DEVICEARRIVAL, InterfaceRecord(kUpperPath));
    EXPECT_EQ(2u, m_worker.PendingCommands());
    Change(DBT_DEVICEARRIVAL, InterfaceRecord(kLowerPath));
    EXPECT_EQ(4u, m_worker.PendingCommands());
    ASSERT_EQ(2u, m_worker.checkedPaths.size());
    EXPECT_EQ(kLowerPath, m_worker.checkedPaths[1]) << "the check gets the name as sent, not upper-cased";

    m_worker.checkAnswer = false;
    Change(DBT_DEVICEARRIVAL, InterfaceRecord(kLowerPath));
    EXPECT_EQ(5u, m_worker.PendingCommands());
    EXPECT_TRUE(m_worker.IsDevicePresent()) << "an arrival leaves the flag to the scan";
}

TEST_F(DisplayHotPlugTest, ARemovalClearsTheFlagAtOnceAndQueuesOneScan)
{
    Change(DBT_DEVICEREMOVECOMPLETE, InterfaceRecord(kLowerPath));
    EXPECT_FALSE(m_worker.IsDevicePresent());
    EXPECT_EQ(1u, m_worker.PendingCommands());
    EXPECT_TRUE(m_worker.checkedPaths.empty()) << "removals are not checked";
}

TEST_F(DisplayHotPlugTest, OtherDevicesAndMissingRecordsAreIgnored)
{
    m_worker.checkAnswer = true;
    Change(DBT_DEVICEARRIVAL, InterfaceRecord(kOtherVendorPath));
    Change(DBT_DEVICEREMOVECOMPLETE, InterfaceRecord(kOtherVendorPath));
    m_worker.OnDisplayInterfaceChange(DBT_DEVICEARRIVAL, nullptr);
    // The pair lies beyond the size the record declares: not part of its name.
    const std::wstring beyond = std::wstring(L"\\\\?\\HID#") + L"VID_1A2C&PID_434D";
    Change(DBT_DEVICEREMOVECOMPLETE, InterfaceRecord(beyond, DBT_DEVTYP_DEVICEINTERFACE, 8));
    EXPECT_EQ(0u, m_worker.PendingCommands());
    EXPECT_TRUE(m_worker.IsDevicePresent());
    EXPECT_TRUE(m_worker.checkedPaths.empty());
}

TEST_F(DisplayHotPlugTest, AnArrivalThatCannotBeOpenedStillQueuesItsScan)
{
    m_worker.useRealCheck = true;
    Change(DBT_DEVICEARRIVAL, InterfaceRecord(kUpperPath));
    EXPECT_EQ(1u, m_worker.PendingCommands());
    EXPECT_EQ(1u, m_worker.checkedPaths.size());
}

TEST_F(DisplayHotPlugTest, DeviceChangeMessagesPassOnlyInterfaceArrivalsAndRemovals)
{
    const auto record = InterfaceRecord(kUpperPath);
    const LPARAM lParam = reinterpret_cast<LPARAM>(record.data());
    const auto volume = InterfaceRecord(kUpperPath, DBT_DEVTYP_VOLUME);
    EXPECT_EQ(0, m_worker.OnDeviceChange(DBT_DEVICEQUERYREMOVE, lParam));
    EXPECT_EQ(0, m_worker.OnDeviceChange(DBT_DEVICEREMOVEPENDING, lParam));
    EXPECT_EQ(0, m_worker.OnDeviceChange(DBT_DEVNODES_CHANGED, 0));
    EXPECT_EQ(0, m_worker.OnDeviceChange(DBT_DEVICEARRIVAL, 0));
    EXPECT_EQ(0, m_worker.OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(volume.data())));
    EXPECT_EQ(0u, m_worker.PendingCommands());
    EXPECT_TRUE(m_worker.IsDevicePresent());

    EXPECT_EQ(0, m_worker.OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, lParam));
    EXPECT_EQ(1u, m_worker.PendingCommands());
    EXPECT_FALSE(m_worker.IsDevicePresent());
}

TEST(DisplayInterfaceCheck, RefusesWhatIsNotAnOpenableHidCollection)
{
    EXPECT_FALSE(CheckDisplayInterface(nullptr));
    EXPECT_FALSE(CheckDisplayInterface(kUpperPath));

    // Opens fine, but has no HID report descriptor.
    wchar_t folder[MAX_PATH] = {};
    wchar_t file[MAX_PATH] = {};
    ASSERT_NE(0u, GetTempPathW(MAX_PATH, folder));
    ASSERT_NE(0u, GetTempFileNameW(folder, L"tkh", 0, file));
    EXPECT_FALSE(CheckDisplayInterface(file));
    DeleteFileW(file);
}

TEST(DisplayNotifications, RegistersTheFourInterfaceClassesForAWindow)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"notifications", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
    {
        DeviceNotifications registered = RegisterDisplayNotifications(window);
        EXPECT_EQ(4u, registered.Count());
        DeviceNotifications moved = std::move(registered);
        EXPECT_EQ(0u, registered.Count());
        EXPECT_EQ(4u, moved.Count());
    }
    DestroyWindow(window);
}
