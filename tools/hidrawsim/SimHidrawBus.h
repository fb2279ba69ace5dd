#pragma once

#include "tools/simdisplay/SimConfig.h"

#include <hidapi.h>

#include <ctime>
#include <mutex>
#include <string>
#include <vector>

// Simulated displays behind the hidapi calls, the way the hidraw backend presents them: one node
// per display whose collections all share its path. Configured by the same "key=value" text as the
// Windows display simulator, from the file HIDRAWSIM_CONFIG (read again whenever it changes, which
// is how another process plugs and unplugs displays: change "displays=") or the text HIDRAWSIM.
// Every open, close and feature report is appended to the file HIDRAWSIM_LOG, one line each:
//   set display=0 requested=65 delivered=64 result=65 data=07ffff000405...   (the caller's bytes)
// Each plugged display has a device node: a real file <HIDRAWSIM_DEVICES>/simhidrawN (default
// $XDG_RUNTIME_DIR/hidrawsim, else /tmp/hidrawsim-UID), so a program can lock it as it locks
// /dev/hidrawN; unplugging removes it. "resumes=N" (this simulator's own key) models a suspend: each
// time N changes, every plugged display is removed and added again under the same node name (a new
// file; handles opened before fail with "No such device").
class SimHidrawBus
{
public:
    static SimHidrawBus& Instance();

    int Init();
    hid_device_info* Enumerate(unsigned short vendor, unsigned short product);
    hid_device* Open(const char* path);
    void Close(hid_device* device);
    int SendFeature(hid_device* device, const unsigned char* data, size_t length);
    int GetFeature(hid_device* device, unsigned char* data, size_t length);
    int ProductString(hid_device* device, wchar_t* text, size_t length);
    const wchar_t* Error(hid_device* device);

private:
    struct Display
    {
        SimDisplayConfig config;
        unsigned generation = 0; // changes when the display is unplugged
        bool plugged = true;
    };

    SimHidrawBus();
    void ReloadIfChanged();
    void Apply(const SimConfig& config, long resumes);
    std::string PathOf(std::size_t display) const;
    void Log(const std::string& line);
    // The display behind a handle, or null when it was unplugged since the open.
    Display* Live(hid_device* device);

    std::mutex m_lock; // hidapi may be called from any thread
    std::string m_configPath;
    timespec m_configTime{};
    off_t m_configSize = -1;
    std::string m_logPath;
    SimConfig m_config;
    std::vector<Display> m_displays;
    std::wstring m_lastError;
    std::string m_devices; // the folder of the device nodes
    long m_resumes = 0;
    bool m_applied = false;
};
