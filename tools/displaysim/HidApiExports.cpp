// hidapi's C interface, answered by the simulated displays.
#include "tools/displaysim/SimulatedBus.h"
#include "tools/simdisplay/SimEnumeration.h"

#include <hidapi.h>

extern "C"
{

    int HID_API_EXPORT HID_API_CALL hid_init(void)
    {
        return SimulatedBus::Instance().Init();
    }

    int HID_API_EXPORT HID_API_CALL hid_exit(void)
    {
        return SimulatedBus::Instance().Exit();
    }

    struct hid_device_info HID_API_EXPORT* HID_API_CALL hid_enumerate(unsigned short vendor_id,
                                                                      unsigned short product_id)
    {
        return SimulatedBus::Instance().Enumerate(vendor_id, product_id);
    }

    void HID_API_EXPORT HID_API_CALL hid_free_enumeration(struct hid_device_info* devs)
    {
        FreeSimEnumeration(devs);
    }

    HID_API_EXPORT hid_device* HID_API_CALL hid_open_path(const char* path)
    {
        return SimulatedBus::Instance().OpenPath(path);
    }

    void HID_API_EXPORT HID_API_CALL hid_close(hid_device* dev)
    {
        SimulatedBus::Instance().Close(dev);
    }

    int HID_API_EXPORT HID_API_CALL hid_send_feature_report(hid_device* dev, const unsigned char* data,
                                                            size_t length)
    {
        return SimulatedBus::Instance().SendFeature(dev, data, length);
    }

    int HID_API_EXPORT HID_API_CALL hid_get_feature_report(hid_device* dev, unsigned char* data,
                                                           size_t length)
    {
        return SimulatedBus::Instance().GetFeature(dev, data, length);
    }

    int HID_API_EXPORT_CALL hid_get_product_string(hid_device* dev, wchar_t* string, size_t maxlen)
    {
        return SimulatedBus::Instance().ProductString(dev, string, maxlen);
    }

    int HID_API_EXPORT_CALL hid_get_manufacturer_string(hid_device* dev, wchar_t* string, size_t maxlen)
    {
        return SimulatedBus::Instance().ManufacturerString(dev, string, maxlen);
    }

    HID_API_EXPORT const wchar_t* HID_API_CALL hid_error(hid_device* dev)
    {
        return SimulatedBus::Instance().Error(dev);
    }

    HID_API_EXPORT const struct hid_api_version* HID_API_CALL hid_version(void)
    {
        static const hid_api_version version{HID_API_VERSION_MAJOR, HID_API_VERSION_MINOR,
                                             HID_API_VERSION_PATCH};
        return &version;
    }

    HID_API_EXPORT const char* HID_API_CALL hid_version_str(void)
    {
        return HID_API_VERSION_STR;
    }
}
