#include "tools/simdisplay/SimEnumeration.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace
{
constexpr std::uint16_t kForeignVendor = 0x1234;

char* DuplicateText(const std::string& text)
{
    auto* copy = static_cast<char*>(std::calloc(text.size() + 1, 1));
    if (copy)
    {
        std::memcpy(copy, text.c_str(), text.size());
    }
    return copy;
}

wchar_t* DuplicateWide(const std::wstring& text)
{
    auto* copy = static_cast<wchar_t*>(std::calloc(text.size() + 1, sizeof(wchar_t)));
    if (copy)
    {
        std::wmemcpy(copy, text.c_str(), text.size());
    }
    return copy;
}
} // namespace

void SimEnumeration::AddForeign(const std::string& path, std::uint16_t product, std::uint16_t release)
{
    // A keyboard: generic desktop page, usage 6.
    Add(path, kForeignVendor, product, release, SimCollection{0x0001, 0x0006}, L"Keyboard");
}

void SimEnumeration::AddDisplay(const std::string& path, const SimDisplayConfig& display,
                                const SimCollection& collection)
{
    Add(path, display.vendor, display.product, display.release, collection, display.productName);
}

void SimEnumeration::Add(const std::string& path, std::uint16_t vendor, std::uint16_t product,
                         std::uint16_t release, const SimCollection& collection,
                         const std::wstring& productName)
{
    if ((m_vendorFilter && m_vendorFilter != vendor) || (m_productFilter && m_productFilter != product))
    {
        return;
    }
    auto* info = static_cast<hid_device_info*>(std::calloc(1, sizeof(hid_device_info)));
    if (!info)
    {
        return;
    }
    info->path = DuplicateText(path);
    info->vendor_id = vendor;
    info->product_id = product;
    info->serial_number = DuplicateWide(L"");
    info->release_number = release;
    info->manufacturer_string = DuplicateWide(L"Simulated");
    info->product_string = DuplicateWide(productName);
    info->usage_page = collection.usagePage;
    info->usage = collection.usage;
    info->interface_number = 0;
    info->bus_type = HID_API_BUS_USB;
    *m_next = info;
    m_next = &info->next;
}

hid_device_info* SimEnumeration::Take()
{
    hid_device_info* const list = m_list.release();
    m_next = m_list.put();
    return list;
}

void FreeSimEnumeration(hid_device_info* list)
{
    while (list)
    {
        hid_device_info* next = list->next;
        std::free(list->path);
        std::free(list->serial_number);
        std::free(list->manufacturer_string);
        std::free(list->product_string);
        std::free(list);
        list = next;
    }
}
