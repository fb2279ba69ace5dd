#include "tools/displaysim/SimulatedBus.h"

#include "tools/simdisplay/SimEnumeration.h"
#include "tools/simdisplay/SimFeatureReports.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace
{
constexpr char kInterfaceGuid[] = "{4d1e55b2-f16f-11cf-88cb-001111000030}";

std::string ReadEnvironment(const char* name)
{
    char buffer[4096];
    const DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

int CopyWide(const std::wstring& source, wchar_t* text, size_t maxChars)
{
    if (!text || maxChars == 0)
    {
        return -1;
    }
    const size_t count = std::min(source.size(), maxChars - 1);
    std::wmemcpy(text, source.c_str(), count);
    text[count] = L'\0';
    return 0;
}
} // namespace

SimulatedBus& SimulatedBus::Instance()
{
    static SimulatedBus bus;
    return bus;
}

SimulatedBus::SimulatedBus()
{
    // A file named by DISPLAYSIM_CONFIG, then the text in DISPLAYSIM, then DISPLAYSIM_LOG.
    std::string text;
    const std::string file = ReadEnvironment("DISPLAYSIM_CONFIG");
    if (!file.empty())
    {
        std::ifstream stream(file);
        std::stringstream content;
        content << stream.rdbuf();
        text = content.str() + "\n";
    }
    text += ReadEnvironment("DISPLAYSIM");
    bool ok = true;
    SimConfig config = ParseSimConfig(text, ok);
    const std::string log = ReadEnvironment("DISPLAYSIM_LOG");
    if (!log.empty())
    {
        config.logPath = log;
    }
    Apply(config);
}

void SimulatedBus::Apply(const SimConfig& config)
{
    m_config = config;
    // A new configuration is a new machine: the library starts again on its next use.
    m_initialised = false;
    ++m_generation;
    m_displays.clear();
    for (std::size_t d = 0; d < config.displays.size(); ++d)
    {
        DisplayState state;
        state.config = config.displays[d];
        for (std::size_t c = 0; c < state.config.collections.size(); ++c)
        {
            state.paths.push_back(
                MakePath(static_cast<int>(d), static_cast<int>(c), state.config.pathLength));
        }
        m_displays.push_back(std::move(state));
    }
    m_foreignPaths.clear();
    for (int i = 0; i < config.foreignDevices; ++i)
    {
        char path[160];
        std::snprintf(path, sizeof path, "\\\\?\\hid#vid_1234&pid_5678&mi_%02x#8&2c1f%04x&0&0000#%s", i, i,
                      kInterfaceGuid);
        m_foreignPaths.push_back(path);
    }
    m_recorder.SetLogPath(config.logPath);
}

std::string SimulatedBus::MakePath(int display, int collection, int minimumLength)
{
    char head[128];
    std::snprintf(head, sizeof head, "\\\\?\\hid#vid_1a2c&pid_434d&mi_00&col%02x#7&%06x&0&%04x",
                  collection + 1, 0x3a5e00 + display, collection);
    std::string path = head;
    const std::string tail = std::string("#") + kInterfaceGuid;
    if (static_cast<int>(path.size() + tail.size()) < minimumLength)
    {
        path.append(static_cast<std::size_t>(minimumLength) - path.size() - tail.size(), 'f');
    }
    return path + tail;
}

int SimulatedBus::Init()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return InitLocked() ? 0 : -1;
}

bool SimulatedBus::InitLocked()
{
    // Like hidapi, enumerate and open start the library themselves when it is not running.
    if (m_initialised)
    {
        return true;
    }
    ++m_initCalls;
    m_initialised = !m_config.initFails;
    if (!m_initialised)
    {
        m_globalError = L"Failed to load the system HID support.";
    }
    return m_initialised;
}

int SimulatedBus::Exit()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_initialised = false;
    return 0;
}

hid_device_info* SimulatedBus::Enumerate(unsigned short vendor, unsigned short product)
{
    std::lock_guard<std::mutex> guard(m_lock);
    ++m_enumerateCalls;
    if (!InitLocked())
    {
        return nullptr;
    }
    SimEnumeration list(vendor, product);
    for (const std::string& path : m_foreignPaths)
    {
        list.AddForeign(path, 0x5678, 0x0100);
    }
    for (const DisplayState& display : m_displays)
    {
        if (!display.plugged)
        {
            continue;
        }
        for (std::size_t c = 0; c < display.paths.size(); ++c)
        {
            list.AddDisplay(display.paths[c], display.config, display.config.collections[c]);
        }
    }
    return list.Take();
}

hid_device* SimulatedBus::OpenPath(const char* path)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (!path || !InitLocked())
    {
        return nullptr;
    }
    for (std::size_t d = 0; d < m_displays.size(); ++d)
    {
        DisplayState& display = m_displays[d];
        const auto found = std::find(display.paths.begin(), display.paths.end(), path);
        if (found == display.paths.end())
        {
            continue;
        }
        const int unplugAfter = display.config.fail.unplugAfterOpens;
        if (display.plugged && unplugAfter >= 0 && display.opens >= unplugAfter)
        {
            display.plugged = false;
            ++display.plugEpoch;
        }
        if (!display.plugged)
        {
            m_globalError = L"The device is not connected.";
            return nullptr;
        }
        if (display.config.fail.open)
        {
            m_globalError = L"Access is denied.";
            return nullptr;
        }
        auto* device = new hid_device_;
        device->display = static_cast<int>(d);
        device->collection = static_cast<int>(found - display.paths.begin());
        device->generation = m_generation;
        device->plugEpoch = display.plugEpoch;
        ++display.opens;
        ++m_openHandles;
        m_recorder.Add(DISPLAYSIM_OPEN, device->display, device->collection, 0, nullptr, 0, 0);
        return device;
    }
    // Foreign devices (keyboards and the like) are held by the system.
    m_globalError = L"Access is denied.";
    return nullptr;
}

void SimulatedBus::Close(hid_device* device)
{
    if (!device)
    {
        return;
    }
    {
        std::lock_guard<std::mutex> guard(m_lock);
        --m_openHandles;
        m_recorder.Add(DISPLAYSIM_CLOSE, device->display, device->collection, 0, nullptr, 0, 0);
    }
    delete device;
}

SimulatedBus::DisplayState* SimulatedBus::LiveDisplay(hid_device* device)
{
    if (device->generation != m_generation || device->display < 0 ||
        device->display >= static_cast<int>(m_displays.size()) ||
        !m_displays[static_cast<std::size_t>(device->display)].plugged ||
        m_displays[static_cast<std::size_t>(device->display)].plugEpoch != device->plugEpoch)
    {
        device->error = L"The device is not connected.";
        return nullptr;
    }
    return &m_displays[static_cast<std::size_t>(device->display)];
}

bool SimulatedBus::DeclaresReport(const DisplayState& display, int collection, unsigned char reportId) const
{
    return DeclaresFeatureReports(display.config.collections[static_cast<std::size_t>(collection)]) &&
           DeclaresReportId(display.config, reportId);
}

int SimulatedBus::RequestedLength(size_t length)
{
    return static_cast<int>(std::min<size_t>(length, 0x7FFFFFFF));
}

int SimulatedBus::RefuseFeature(hid_device* device, int kind, int requested, const wchar_t* error)
{
    device->error = error;
    m_recorder.Add(kind, device->display, device->collection, requested, nullptr, 0, -1);
    return -1;
}

SimulatedBus::DisplayState* SimulatedBus::FeatureTarget(hid_device* device, const unsigned char* data,
                                                        size_t length, int kind, const wchar_t* undeclared)
{
    if (!data || !length)
    {
        device->error = L"Zero buffer/length";
        return nullptr;
    }
    DisplayState* display = LiveDisplay(device);
    if (!display)
    {
        return nullptr;
    }
    if (!DeclaresReport(*display, device->collection, data[0]))
    {
        RefuseFeature(device, kind, RequestedLength(length), undeclared);
        return nullptr;
    }
    return display;
}

int SimulatedBus::SendFeature(hid_device* device, const unsigned char* data, size_t length)
{
    if (!device)
    {
        return -1;
    }
    std::lock_guard<std::mutex> guard(m_lock);
    DisplayState* display =
        FeatureTarget(device, data, length, DISPLAYSIM_SET, L"HidD_SetFeature: The parameter is incorrect.");
    if (!display)
    {
        return -1;
    }
    const int requested = RequestedLength(length);
    if (display->config.fail.send)
    {
        return RefuseFeature(device, DISPLAYSIM_SET, requested,
                             L"HidD_SetFeature: A device attached to the system is not functioning.");
    }
    const std::vector<unsigned char> received = ReceivedFeatureReport(display->config, data, length);
    if (received.size() > 1) // a one-byte report carries no command and leaves the exchange as it was
    {
        display->versionRequested = IsVersionRequest(received.data(), received.size());
        display->lateReplyPending = display->versionRequested && display->config.fail.lateReply;
    }
    device->error.clear();
    m_recorder.Add(DISPLAYSIM_SET, device->display, device->collection, requested, received.data(),
                   static_cast<int>(received.size()), requested);
    return requested;
}

int SimulatedBus::GetFeature(hid_device* device, unsigned char* data, size_t length)
{
    if (!device)
    {
        return -1;
    }
    std::lock_guard<std::mutex> guard(m_lock);
    DisplayState* display =
        FeatureTarget(device, data, length, DISPLAYSIM_GET,
                      L"Get Input/Feature Report DeviceIoControl: The parameter is incorrect.");
    if (!display)
    {
        return -1;
    }
    const int requested = RequestedLength(length);
    if (display->config.fail.noReply)
    {
        return RefuseFeature(
            device, DISPLAYSIM_GET, requested,
            L"Get Input/Feature Report GetOverLappedResult: The semaphore timeout period has expired.");
    }
    const std::size_t declared = static_cast<std::size_t>(display->config.featureLength);
    if (length < declared)
    {
        // Windows wants room for the whole declared report.
        return RefuseFeature(
            device, DISPLAYSIM_GET, requested,
            L"Get Input/Feature Report DeviceIoControl: The data area passed to a system call is too small.");
    }
    std::vector<unsigned char> reply =
        FeatureReply(display->config, data[0], display->versionRequested && !display->lateReplyPending);
    if (display->lateReplyPending)
    {
        // The first answer after a version request arrives before the display has filled it in.
        reply[0] = 0;
        display->lateReplyPending = false;
    }
    const std::size_t copied = declared;
    std::memcpy(data, reply.data(), copied);
    device->error.clear();
    m_recorder.Add(DISPLAYSIM_GET, device->display, device->collection, requested, data,
                   static_cast<int>(copied), static_cast<int>(copied));
    return static_cast<int>(copied);
}

int SimulatedBus::ProductString(hid_device* device, wchar_t* text, size_t maxChars)
{
    if (!device)
    {
        return -1;
    }
    std::lock_guard<std::mutex> guard(m_lock);
    DisplayState* display = LiveDisplay(device);
    if (!display)
    {
        return -1;
    }
    if (display->config.fail.product)
    {
        device->error = L"HidD_GetProductString: The request is not supported.";
        return -1;
    }
    return CopyWide(display->config.productName, text, maxChars);
}

int SimulatedBus::ManufacturerString(hid_device* device, wchar_t* text, size_t maxChars)
{
    if (!device)
    {
        return -1;
    }
    std::lock_guard<std::mutex> guard(m_lock);
    return LiveDisplay(device) ? CopyWide(L"Simulated", text, maxChars) : -1;
}

const wchar_t* SimulatedBus::Error(hid_device* device)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (device)
    {
        return device->error.empty() ? L"Success" : device->error.c_str();
    }
    return m_globalError.empty() ? L"Success" : m_globalError.c_str();
}

int SimulatedBus::Configure(const std::string& text)
{
    bool ok = true;
    const SimConfig config = ParseSimConfig(text, ok);
    std::lock_guard<std::mutex> guard(m_lock);
    Apply(config);
    return ok ? 1 : 0;
}

int SimulatedBus::DisplayCount()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return static_cast<int>(m_displays.size());
}

int SimulatedBus::SetPlugged(int display, bool plugged)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (display < 0 || display >= static_cast<int>(m_displays.size()))
    {
        return 0;
    }
    DisplayState& state = m_displays[static_cast<std::size_t>(display)];
    if (state.plugged && !plugged)
    {
        ++state.plugEpoch;
    }
    state.plugged = plugged;
    state.opens = 0;
    return 1;
}

void SimulatedBus::ClearRecords()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_recorder.Clear();
}

int SimulatedBus::RecordCount()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_recorder.Count();
}

bool SimulatedBus::GetRecord(int index, DisplaySimRecord& out)
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_recorder.Get(index, out);
}

int SimulatedBus::OpenHandles()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_openHandles;
}

int SimulatedBus::EnumerateCalls()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_enumerateCalls;
}

int SimulatedBus::InitCalls()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_initCalls;
}
