#pragma once

#include "app/device/SnapshotMapping.h"
#include "app/device/CThreadBasic.h"
#include "app/device/CommandQueue.h"
#include "app/device/DisplayReport.h"
#include "app/device/FirmwareVersionRequest.h"

#include <windows.h>

#include <dbt.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CDeviceManager;

// The display worker's side of the main window: the command queue, the device-present flag, the
// settings the display tick reads and the sensor snapshot view, with the work step that serves
// them. The main dialog derives from it (and so runs the worker on its CThreadBasic base) and
// fills the seam of the device-count label. Update commands have a worker of their own, so no
// network wait ever delays a scan or a report.
class DeviceWorker : public CThreadBasic
{
public:
    // Window thread (and RequestFirmwareVersion's callers): appends a command for the worker and wakes
    // it, so the command is served at once, also in the middle of the rest between two reports.
    void Append(int command)
    {
        m_commands.Append(command);
        WakeWorker();
    }

    // Worker thread: one dispatcher step. Runs the oldest queued command; with none queued, sends
    // one display report while a display is present and the report is due (a second after the
    // last one began, or at once after a scan); otherwise does nothing. Ids other than the scan and
    // the firmware read (update commands included) are dropped.
    void WorkStep() override;
    // Worker thread: the rest after a step. None while commands wait; until the next report while a
    // display is present; otherwise until a command (or the stop) wakes the worker. So the idle
    // worker wakes once a second with a display and never without one.
    DWORD NextPause() override;

    // Any thread but the worker's: has the worker read the first display's firmware version (the
    // device manager stays the worker's alone) and waits up to waitMs, or until cancel (may be
    // null) is signalled. The read queues behind commands already waiting, a start-up scan
    // included. version is set only when the display answered in time.
    bool RequestFirmwareVersion(int& version, DWORD waitMs, HANDLE cancel);

    // Window thread: a WM_DEVICECHANGE. Takes arrivals and completed removals of device
    // interfaces to OnDisplayInterfaceChange; every such message is answered with 0.
    LRESULT OnDeviceChange(WPARAM event, LPARAM record);
    // Window thread: a display interface came or went. A removal stops the reports at once; both
    // queue a rescan, an arrival of the display's vendor collection a second one.
    void OnDisplayInterfaceChange(WPARAM event, const DEV_BROADCAST_HDR* record);

    bool IsDevicePresent() const { return m_devicePresent.load(); }
    std::size_t PendingCommands() const { return m_commands.Size(); }
    const SnapshotMapping& Snapshot() const { return m_snapshot; }

protected:
    // devices: the program passes CDeviceManager::Instance(); snapshotName: tests use their own.
    explicit DeviceWorker(CDeviceManager& devices, std::string snapshotName = kSnapshotName);
    // Not virtual: never deleted through this base. Stops the worker before the members go.
    ~DeviceWorker() { Stop(); }

    // Worker thread: shows the device count ("Device:0", "Device:2"). The main window sets its
    // label; it may hand the text to the window thread instead.
    virtual void SetDeviceLabel(const std::wstring& text);
    // Window thread: whether the interface at path is a display's vendor collection.
    virtual bool IsDisplayVendorCollection(const wchar_t* path);

    // The user's display choices, written by the window thread, read by the worker's tick.
    std::atomic<int> m_ledSwitch{1};
    std::atomic<int> m_deviceType{0};
    std::atomic<int> m_tempeType{0};

private:
    using ReportClock = std::chrono::steady_clock;

    void ScanDevices();
    // Worker thread: a log line for each display the scan found anew and each one gone since.
    void LogDisplayChanges();
    void RunDisplayTick();
    void AnswerFirmwareRequests();
    bool IsReportDue(ReportClock::time_point now) const;

    CDeviceManager& m_devices;                // worker thread only
    bool m_threadNamed = false;               // worker thread only
    std::vector<std::string> m_displayPaths;  // worker thread only: what the last scan found
    CommandQueue m_commands;                  // window thread appends, worker takes (locked inside)
    std::atomic<bool> m_devicePresent{false}; // worker sets and clears; window thread clears
    SnapshotMapping m_snapshot;               // worker opens it; window thread's watchdog reads the view
    ReportClock::time_point m_nextReport{};   // worker thread only; the clock's epoch means "due now"

    std::mutex m_requestMutex;
    // guarded by m_requestMutex: asking threads (the update worker) add, the display worker takes
    std::vector<std::shared_ptr<FirmwareVersionRequest>> m_firmwareRequests;
};
