#pragma once

// Test-side controls of the display simulator (the DLL that stands in for hidapi.dll).
// Link the `displaysim` target to use them.

#ifdef DISPLAYSIM_BUILD
#define DISPLAYSIM_API __declspec(dllexport)
#else
#define DISPLAYSIM_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C"
{
#endif

    enum DisplaySimEventKind
    {
        DISPLAYSIM_OPEN = 1,  // hid_open_path succeeded on a display's collection
        DISPLAYSIM_CLOSE = 2, // hid_close of such a handle
        DISPLAYSIM_SET = 3,   // hid_send_feature_report (data = the bytes the display received)
        DISPLAYSIM_GET = 4,   // hid_get_feature_report (data = the bytes handed back)
    };

    enum
    {
        DISPLAYSIM_RECORD_BYTES = 256
    };

    struct DisplaySimRecord
    {
        long long microseconds; // since the simulator started (monotonic)
        char utc[32];           // wall clock, "YYYY-MM-DD hh:mm:ss.mmm"
        int kind;               // DisplaySimEventKind
        int display;            // 0-based, in enumeration order
        int collection;         // 0-based within the display
        int requested;          // length the caller passed
        int delivered;          // bytes that reached the display / came back (after padding or truncation)
        int result;             // what the hidapi call returned
        unsigned char data[DISPLAYSIM_RECORD_BYTES]; // first bytes of delivered
    };

    // Replaces the configuration (same "key=value" text as a configuration file; lines or ';'
    // separated). Handles opened under the previous configuration behave as unplugged.
    // Returns 1, or 0 when a line could not be understood (the rest is still applied).
    DISPLAYSIM_API int displaysim_configure(const char* text);
    // Same, read from a file.
    DISPLAYSIM_API int displaysim_configure_file(const char* path);

    DISPLAYSIM_API int displaysim_display_count(void);
    // Unplugs or re-plugs one display at any moment.
    DISPLAYSIM_API int displaysim_set_plugged(int display, int plugged);

    DISPLAYSIM_API void displaysim_clear_records(void);
    DISPLAYSIM_API int displaysim_record_count(void);
    // Copies record index (0 = oldest kept) into out; 1 on success.
    DISPLAYSIM_API int displaysim_get_record(int index, struct DisplaySimRecord* out);
    // Handles currently open (any collection), to see that everything opened was closed.
    DISPLAYSIM_API int displaysim_open_handles(void);
    // Calls of hid_enumerate and hid_init so far.
    DISPLAYSIM_API int displaysim_enumerate_calls(void);
    DISPLAYSIM_API int displaysim_init_calls(void);

#ifdef __cplusplus
}
#endif
