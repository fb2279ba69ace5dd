#include "app/device/CDeviceManager.h"

#include "app/platform/LogLine.h"
#include "app/platform/ProgramLog.h"
#include "base/UniqueHandle.h"

#include <hidapi.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace
{
constexpr std::chrono::milliseconds kVersionQueryPause{16};
constexpr std::size_t kProductNameChars = 512;

// hidapi's enumeration list, freed with hid_free_enumeration.
struct HidEnumerationTraits
{
    using Handle = hid_device_info*;
    static Handle Invalid() noexcept { return nullptr; }
    static void Release(Handle list) noexcept { hid_free_enumeration(list); }
};
using CHidEnumeration = UniqueHandle<HidEnumerationTraits>;
} // namespace

CDeviceManager& CDeviceManager::Instance()
{
    static CDeviceManager manager;
    return manager;
}

CDeviceManager::CDeviceManager()
{
    // A failed start is retried by hidapi at the next enumerate or open.
    hid_init();
}

CDeviceManager::~CDeviceManager()
{
    CloseAll();
    m_devices.clear();
    hid_exit();
}

void CDeviceManager::ClearFilters()
{
    m_filters.clear();
}

void CDeviceManager::AddFilter(int vendor, int product, const std::wstring& name, int flag)
{
    m_filters.push_back(DeviceFilter{vendor, product, name, flag});
}

void CDeviceManager::CloseAll()
{
    if (m_ready == 0)
    {
        return;
    }
    m_ready = 0;
    // Entries close their devices in list order as they go.
    for (auto& entry : m_devices)
    {
        entry.reset();
    }
    m_devices.clear();
}

void CDeviceManager::ScanDevices()
{
    const CHidEnumeration interfaces(hid_enumerate(0, 0));
    for (const hid_device_info* info = interfaces.get(); info; info = info->next)
    {
        bool accepted = false;
        for (const DeviceFilter& filter : m_filters)
        {
            if (filter.vendor == info->vendor_id && filter.product == info->product_id)
            {
                accepted = true;
                break;
            }
        }
        if (!accepted || !info->path)
        {
            continue;
        }
        HidDevice device(hid_open_path(info->path));
        if (!device)
        {
            continue;
        }
        // A display exposes several collections; only its vendor collection is kept, the others
        // are closed again right here.
        if (info->usage_page != kDisplayUsagePage || info->usage != kDisplayUsage)
        {
            continue;
        }
        wchar_t product[kProductNameChars] = {};
        hid_get_product_string(device.get(), product, kProductNameChars);
        product[kProductNameChars - 1] = L'\0';

        auto entry = std::make_unique<DeviceEntry>();
        entry->index = Count();
        entry->vendor = info->vendor_id;
        entry->product = info->product_id;
        entry->path = info->path;
        entry->productName = product;
        entry->device = std::move(device);
        entry->release = info->release_number;
        m_devices.push_back(std::move(entry));
    }
}

bool CDeviceManager::SendToAll(const TemperatureReport& report)
{
    if (m_ready == 0)
    {
        return false;
    }
    // The last byte always goes out as 0.
    unsigned char buffer[kTemperatureReportSize] = {};
    std::memcpy(buffer, report.data(), kTemperatureReportSize - 1);
    for (const auto& entry : m_devices)
    {
        if (entry->device)
        {
            // A failure leaves hidapi's error text on that device; the others still get the report.
            const bool failed = hid_send_feature_report(entry->device.get(), buffer, sizeof buffer) < 0;
            if (failed != entry->sendFailing)
            {
                // Once when the display stops taking reports and once when it takes them again, not
                // every second in between.
                entry->sendFailing = failed;
                const wchar_t* error = failed ? hid_error(entry->device.get()) : nullptr;
                ProgramLog::Write(
                    failed ? "report-send-failed" : "report-send-recovered",
                    "path=\"" + entry->path + "\"" +
                        (failed ? " error=\"" + LogUtf8(error != nullptr ? error : L"") + "\"" : ""));
            }
        }
    }
    return true;
}

bool CDeviceManager::ReadFirmwareVersion(int& version)
{
    if (m_ready == 0 || m_devices.empty() || !m_devices.front()->device)
    {
        return false;
    }
    hid_device* device = m_devices.front()->device.get();
    const VersionReport request = BuildVersionRequest();
    std::this_thread::sleep_for(kVersionQueryPause);
    if (hid_send_feature_report(device, request.data(), request.size()) <= 0)
    {
        return false;
    }
    std::this_thread::sleep_for(kVersionQueryPause);
    // Byte 0 of the buffer names the report to read. A display that answers nothing leaves the
    // request in the buffer, which decodes as 0xFD00.
    VersionReport reply = request;
    hid_get_feature_report(device, reply.data(), reply.size());
    if (!IsVersionReply(reply))
    {
        std::this_thread::sleep_for(kVersionQueryPause);
        reply = request;
        hid_get_feature_report(device, reply.data(), reply.size());
    }
    version = DecodeFirmwareVersion(reply);
    return true;
}
