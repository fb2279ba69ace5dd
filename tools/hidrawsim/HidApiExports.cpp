// The hidapi entry points the Linux edition calls, answered by the simulated bus.
#include "tools/hidrawsim/SimHidrawBus.h"
#include "tools/simdisplay/SimEnumeration.h"

#define SIM_EXPORT extern "C" __attribute__((visibility("default")))

SIM_EXPORT int hid_init(void)
{
    return SimHidrawBus::Instance().Init();
}

SIM_EXPORT int hid_exit(void)
{
    return 0;
}

SIM_EXPORT hid_device_info* hid_enumerate(unsigned short vendor_id, unsigned short product_id)
{
    return SimHidrawBus::Instance().Enumerate(vendor_id, product_id);
}

SIM_EXPORT void hid_free_enumeration(hid_device_info* devices)
{
    FreeSimEnumeration(devices);
}

SIM_EXPORT hid_device* hid_open_path(const char* path)
{
    return SimHidrawBus::Instance().Open(path);
}

SIM_EXPORT void hid_close(hid_device* device)
{
    SimHidrawBus::Instance().Close(device);
}

SIM_EXPORT int hid_send_feature_report(hid_device* device, const unsigned char* data, size_t length)
{
    return SimHidrawBus::Instance().SendFeature(device, data, length);
}

SIM_EXPORT int hid_get_feature_report(hid_device* device, unsigned char* data, size_t length)
{
    return SimHidrawBus::Instance().GetFeature(device, data, length);
}

SIM_EXPORT int hid_get_product_string(hid_device* device, wchar_t* string, size_t maxlen)
{
    return SimHidrawBus::Instance().ProductString(device, string, maxlen);
}

SIM_EXPORT const wchar_t* hid_error(hid_device* device)
{
    return SimHidrawBus::Instance().Error(device);
}
