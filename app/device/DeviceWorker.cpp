#include "app/device/DeviceWorker.h"

#include "app/device/CDeviceManager.h"
#include "app/device/DisplayInterfaceCheck.h"
#include "app/device/DisplayInterfaceName.h"
#include "app/device/DisplayTick.h"
#include "app/device/WorkerCommands.h"
#include "app/platform/LogLine.h"
#include "app/platform/ProgramLog.h"

#include <dbt.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cwchar>
#include <string_view>
#include <utility>

namespace
{
// A rest may end a little before its time where the system's timer ticks coarsely (about 16 ms on
// Windows); a report that close to its time is sent rather than rested for once more.
constexpr std::chrono::milliseconds kReportEarliness{16};

constexpr std::size_t kNameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);

// The interface name inside the record, bounded by the record's own size whether or not the
// sender terminated it.
std::wstring_view InterfaceName(const DEV_BROADCAST_HDR* record)
{
    if (record->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE || record->dbch_size <= kNameOffset)
    {
        return {};
    }
    const auto* deviceInterface = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(record);
    const std::size_t capacity = (record->dbch_size - kNameOffset) / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < capacity && deviceInterface->dbcc_name[length] != L'\0')
    {
        ++length;
    }
    return {deviceInterface->dbcc_name, length};
}
} // namespace

DeviceWorker::DeviceWorker(CDeviceManager& devices, std::string snapshotName)
    : m_devices(devices), m_snapshot(std::move(snapshotName))
{
}

void DeviceWorker::WorkStep()
{
    if (!m_threadNamed)
    {
        ProgramLog::NameThisThread("display");
        m_threadNamed = true;
    }
    if (const std::optional<int> command = m_commands.TakeFirst())
    {
        if (*command == CMD_SCAN_DEVICES)
        {
            ScanDevices();
        }
        else if (*command == CMD_READ_FIRMWARE_VERSION)
        {
            AnswerFirmwareRequests();
        }
        return;
    }
    if (m_devicePresent.load() && IsReportDue(ReportClock::now()))
    {
        RunDisplayTick();
    }
}

bool DeviceWorker::IsReportDue(ReportClock::time_point now) const
{
    return now + kReportEarliness >= m_nextReport;
}

DWORD DeviceWorker::NextPause()
{
    if (!m_commands.IsEmpty())
    {
        return 0;
    }
    if (!m_devicePresent.load())
    {
        return INFINITE;
    }
    const ReportClock::time_point now = ReportClock::now();
    if (IsReportDue(now))
    {
        return 0;
    }
    return static_cast<DWORD>(std::chrono::ceil<std::chrono::milliseconds>(m_nextReport - now).count());
}

void DeviceWorker::ScanDevices()
{
    m_devicePresent.store(false);
    // Displays found by this scan get their first report at once.
    m_nextReport = ReportClock::time_point{};
    m_devices.ClearFilters();
    m_devices.AddFilter(kDisplayVendorId, kDisplayProductId, std::wstring(), 1);
    m_devices.CloseAll();
    m_devices.ScanDevices();
    m_devices.SetReady();
    LogDisplayChanges();

    const int count = m_devices.Count();
    if (count == 0)
    {
        SetDeviceLabel(L"Device:0");
    }
    else
    {
        m_devicePresent.store(true);
        wchar_t label[32];
        std::swprintf(label, sizeof(label) / sizeof(label[0]), L"Device:%d", count);
        SetDeviceLabel(label);
    }
    if (!m_snapshot.IsOpen())
    {
        m_snapshot.OpenSnapshot();
    }
}

void DeviceWorker::LogDisplayChanges()
{
    std::vector<std::string> paths;
    for (int i = 0; i < m_devices.Count(); ++i)
    {
        const DeviceEntry& entry = m_devices.Entry(i);
        paths.push_back(entry.path);
        if (std::find(m_displayPaths.begin(), m_displayPaths.end(), entry.path) != m_displayPaths.end())
        {
            continue;
        }
        // The release its USB descriptor states: asking the display itself would add an exchange
        // to every scan, which the firmware check makes on its own.
        char release[16] = {};
        std::snprintf(release, sizeof(release), "0x%04x", static_cast<unsigned>(entry.release & 0xFFFF));
        ProgramLog::Write("display-attached", "path=\"" + entry.path + "\" product=\"" +
                                                  LogUtf8(entry.productName) +
                                                  "\" firmware-release=" + release);
    }
    for (const std::string& path : m_displayPaths)
    {
        if (std::find(paths.begin(), paths.end(), path) == paths.end())
        {
            ProgramLog::Write("display-removed", "path=\"" + path + "\"");
        }
    }
    m_displayPaths = std::move(paths);
}

void DeviceWorker::RunDisplayTick()
{
    // The next report a second after this one began, however long the sending or a command in
    // between takes; the rest until then is NextPause's.
    m_nextReport = ReportClock::now() + kDisplayTickPause;
    const DisplaySettings settings{m_ledSwitch.load(), m_deviceType.load(), m_tempeType.load()};
    DisplayTick(m_devices, m_snapshot, settings, std::chrono::milliseconds(0));
}

void DeviceWorker::SetDeviceLabel(const std::wstring&) {}

bool DeviceWorker::RequestFirmwareVersion(int& version, DWORD waitMs, HANDLE cancel)
{
    auto request = std::make_shared<FirmwareVersionRequest>();
    if (!request->IsValid())
    {
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(m_requestMutex);
        m_firmwareRequests.push_back(request);
    }
    Append(CMD_READ_FIRMWARE_VERSION);
    return request->Wait(waitMs, cancel, version);
}

void DeviceWorker::AnswerFirmwareRequests()
{
    std::vector<std::shared_ptr<FirmwareVersionRequest>> requests;
    {
        std::lock_guard<std::mutex> lock(m_requestMutex);
        requests.swap(m_firmwareRequests);
    }
    for (const auto& request : requests)
    {
        int version = -1;
        const bool read = m_devices.ReadFirmwareVersion(version);
        request->Answer(read, version);
    }
}

bool DeviceWorker::IsDisplayVendorCollection(const wchar_t* path)
{
    return CheckDisplayInterface(path);
}

LRESULT DeviceWorker::OnDeviceChange(WPARAM event, LPARAM record)
{
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(record);
    if ((event == DBT_DEVICEARRIVAL || event == DBT_DEVICEREMOVECOMPLETE) && header != nullptr &&
        header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE)
    {
        OnDisplayInterfaceChange(event, header);
    }
    return 0;
}

void DeviceWorker::OnDisplayInterfaceChange(WPARAM event, const DEV_BROADCAST_HDR* record)
{
    if (record == nullptr)
    {
        return;
    }
    const std::wstring name(InterfaceName(record));
    if (!NamesDisplayInterface(name))
    {
        return;
    }
    if (event == DBT_DEVICEARRIVAL && IsDisplayVendorCollection(name.c_str()))
    {
        Append(CMD_SCAN_DEVICES);
    }
    if (event == DBT_DEVICEREMOVECOMPLETE)
    {
        m_devicePresent.store(false);
    }
    Append(CMD_SCAN_DEVICES);
}
