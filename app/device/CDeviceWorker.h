#pragma once

#include "app/device/CSnapshotMapping.h"
#include "app/device/CThreadBasic.h"
#include "app/device/CommandQueue.h"
#include "app/device/DisplayReport.h"

#include <windows.h>

#include <dbt.h>

#include <atomic>
#include <string>

class CDeviceManager;

// The worker's side of the main window: the command queue, the device-present flag, the settings
// the display tick reads and the sensor snapshot view, with the work step that serves them. The
// main dialog derives from it (and so runs the worker on its CThreadBasic base) and fills the
// seams: the device-count label and the update commands.
class CDeviceWorker : public CThreadBasic
{
public:
    // Window thread: appends a command for the worker.
    void Append(int command) { m_commands.Append(command); }

    // Worker thread: one dispatcher step. Runs the oldest queued command; with none queued, sends
    // one display report while a display is present; otherwise does nothing. Unknown ids are
    // dropped.
    void WorkStep() override;

    // Window thread: a WM_DEVICECHANGE. Takes arrivals and completed removals of device
    // interfaces to OnDisplayInterfaceChange; every such message is answered with 0.
    LRESULT OnDeviceChange(WPARAM event, LPARAM record);
    // Window thread: a display interface came or went. A removal stops the reports at once; both
    // queue a rescan, an arrival of the display's vendor collection a second one.
    void OnDisplayInterfaceChange(WPARAM event, const DEV_BROADCAST_HDR* record);

    bool IsDevicePresent() const { return m_devicePresent.load(); }
    std::size_t PendingCommands() const { return m_commands.Size(); }
    const CSnapshotMapping& Snapshot() const { return m_snapshot; }

protected:
    // devices: the program passes CDeviceManager::Instance(); snapshotName: tests use their own.
    explicit CDeviceWorker(CDeviceManager& devices, std::string snapshotName = kSnapshotName);
    // Not virtual: never deleted through this base. Stops the worker before the members go.
    ~CDeviceWorker() { Stop(); }

    // Worker thread: shows the device count ("Device:0", "Device:2"). The main window sets its
    // label; it may hand the text to the window thread instead.
    virtual void SetDeviceLabel(const std::wstring& text);
    // Worker thread: one of the update commands (3 to 8). They need the update service, which the
    // main window brings; without it nothing is checked or answered.
    virtual void RunUpdateCommand(int command);
    // Window thread: whether the interface at path is a display's vendor collection.
    virtual bool IsDisplayVendorCollection(const wchar_t* path);

    // The user's display choices, written by the window thread, read by the worker's tick.
    std::atomic<int> m_ledSwitch{1};
    std::atomic<int> m_deviceType{0};
    std::atomic<int> m_tempeType{0};

private:
    void ScanDevices();
    void RunDisplayTick();

    CDeviceManager& m_devices;                // worker thread only
    CommandQueue m_commands;                  // window thread appends, worker takes (locked inside)
    std::atomic<bool> m_devicePresent{false}; // worker sets and clears; window thread clears
    CSnapshotMapping m_snapshot;              // worker opens it; window thread's watchdog reads the view
};
