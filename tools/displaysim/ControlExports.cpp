// The test-side controls declared in DisplaySimControl.h.
#include "tools/displaysim/DisplaySimControl.h"
#include "tools/displaysim/SimulatedBus.h"

#include <fstream>
#include <sstream>

extern "C"
{

    DISPLAYSIM_API int displaysim_configure(const char* text)
    {
        return SimulatedBus::Instance().Configure(text ? text : "");
    }

    DISPLAYSIM_API int displaysim_configure_file(const char* path)
    {
        std::ifstream stream(path ? path : "");
        if (!stream)
        {
            return 0;
        }
        std::stringstream content;
        content << stream.rdbuf();
        return SimulatedBus::Instance().Configure(content.str());
    }

    DISPLAYSIM_API int displaysim_display_count(void)
    {
        return SimulatedBus::Instance().DisplayCount();
    }

    DISPLAYSIM_API int displaysim_set_plugged(int display, int plugged)
    {
        return SimulatedBus::Instance().SetPlugged(display, plugged != 0);
    }

    DISPLAYSIM_API void displaysim_clear_records(void)
    {
        SimulatedBus::Instance().ClearRecords();
    }

    DISPLAYSIM_API int displaysim_record_count(void)
    {
        return SimulatedBus::Instance().RecordCount();
    }

    DISPLAYSIM_API int displaysim_get_record(int index, struct DisplaySimRecord* out)
    {
        return out && SimulatedBus::Instance().GetRecord(index, *out) ? 1 : 0;
    }

    DISPLAYSIM_API int displaysim_open_handles(void)
    {
        return SimulatedBus::Instance().OpenHandles();
    }

    DISPLAYSIM_API int displaysim_enumerate_calls(void)
    {
        return SimulatedBus::Instance().EnumerateCalls();
    }

    DISPLAYSIM_API int displaysim_init_calls(void)
    {
        return SimulatedBus::Instance().InitCalls();
    }
}
