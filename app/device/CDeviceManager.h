#pragma once

#include "app/device/DeviceEntry.h"
#include "app/device/DeviceFilter.h"
#include "app/device/DisplayIdentity.h"
#include "app/device/DisplayReport.h"

#include <memory>
#include <string>
#include <vector>

// The open displays and the accepted vendor/product pairs, all through hidapi.
// Everything except Instance() runs on the display worker only, so nothing here is locked; the
// update worker's firmware check has the display worker read the version for it
// (DeviceWorker::RequestFirmwareVersion).
class CDeviceManager
{
public:
    // The process-wide manager, constructed on first use (thread-safe).
    static CDeviceManager& Instance();

    // Public so tests can use a manager of their own; the program uses Instance(). Only one may
    // exist at a time: each starts hidapi and shuts it down again.
    CDeviceManager();
    ~CDeviceManager();
    CDeviceManager(const CDeviceManager&) = delete;
    CDeviceManager& operator=(const CDeviceManager&) = delete;

    void ClearFilters();
    void AddFilter(int vendor, int product, const std::wstring& name, int flag);

    // Opens every interface that matches a filter and carries the display's vendor collection;
    // appends to the list without closing earlier entries (callers CloseAll first).
    void ScanDevices();
    // Called by the scan command once ScanDevices has returned.
    void SetReady() { m_ready = 1; }
    bool IsReady() const { return m_ready != 0; }
    // Does nothing unless ready; otherwise clears ready and closes and frees every entry.
    void CloseAll();

    // Sends the report to every open display in list order; false (nothing sent) unless ready.
    // A failing display keeps hidapi's error text and does not stop the others.
    bool SendToAll(const TemperatureReport& report);
    // Asks the first display; true when a version was stored.
    bool ReadFirmwareVersion(int& version);

    int Count() const { return static_cast<int>(m_devices.size()); }
    const DeviceEntry& Entry(int index) const { return *m_devices[static_cast<std::size_t>(index)]; }

private:
    int m_ready = 0;
    std::vector<std::unique_ptr<DeviceEntry>> m_devices;
    std::vector<DeviceFilter> m_filters;
};
