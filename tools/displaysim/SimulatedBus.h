#pragma once

#include "tools/simdisplay/SimConfig.h"
#include "tools/displaysim/SimRecorder.h"

#include <hidapi.h>

#include <mutex>
#include <string>
#include <vector>

// What an open hidapi handle is in the simulator.
struct hid_device_
{
    int display = -1; // -1: a foreign device (never opened)
    int collection = -1;
    unsigned generation = 0; // configuration the handle was opened under
    unsigned plugEpoch = 0;  // a display unplugged since the open never answers this handle again
    std::wstring error;
};

// The simulated HID world: the configured displays, their plug state, the open handles and the
// event record. One instance per process; every entry point takes its lock, since tests read the
// record on one thread while the code under test drives the displays on another.
class SimulatedBus
{
public:
    static SimulatedBus& Instance();

    int Init();
    int Exit();
    hid_device_info* Enumerate(unsigned short vendor, unsigned short product);
    hid_device* OpenPath(const char* path);
    void Close(hid_device* device);
    int SendFeature(hid_device* device, const unsigned char* data, size_t length);
    int GetFeature(hid_device* device, unsigned char* data, size_t length);
    int ProductString(hid_device* device, wchar_t* text, size_t maxChars);
    int ManufacturerString(hid_device* device, wchar_t* text, size_t maxChars);
    const wchar_t* Error(hid_device* device);

    int Configure(const std::string& text);
    int DisplayCount();
    int SetPlugged(int display, bool plugged);
    void ClearRecords();
    int RecordCount();
    bool GetRecord(int index, DisplaySimRecord& out);
    int OpenHandles();
    int EnumerateCalls();
    int InitCalls();

private:
    struct DisplayState
    {
        SimDisplayConfig config;
        std::vector<std::string> paths; // one per collection
        bool plugged = true;
        unsigned plugEpoch = 0;
        int opens = 0;
        bool versionRequested = false;
        bool lateReplyPending = false;
    };

    SimulatedBus();
    void Apply(const SimConfig& config);
    bool InitLocked();
    // Null with the device's error text set when the handle's display is gone.
    DisplayState* LiveDisplay(hid_device* device);
    bool DeclaresReport(const DisplayState& display, int collection, unsigned char reportId) const;
    // The checks both feature calls share, under m_lock: null, with the error text set, when the
    // buffer is empty, the display gone or the report undeclared (that refusal is recorded).
    DisplayState* FeatureTarget(hid_device* device, const unsigned char* data, size_t length, int kind,
                                const wchar_t* undeclared);
    int RefuseFeature(hid_device* device, int kind, int requested, const wchar_t* error);
    static int RequestedLength(size_t length);
    static std::string MakePath(int display, int collection, int minimumLength);

    std::mutex m_lock;
    SimConfig m_config;
    std::vector<DisplayState> m_displays;
    std::vector<std::string> m_foreignPaths;
    SimRecorder m_recorder;
    unsigned m_generation = 1;
    int m_openHandles = 0;
    int m_enumerateCalls = 0;
    int m_initCalls = 0;
    bool m_initialised = false;
    std::wstring m_globalError;
};
