#pragma once

#include "base/UniqueHandle.h"
#include "tools/simdisplay/SimConfig.h"

#include <hidapi.h>

#include <cstdint>
#include <string>

// Frees a list SimEnumeration made, entry by entry: what hid_free_enumeration does in both simulators.
void FreeSimEnumeration(hid_device_info* list);

// Builds the list hid_enumerate hands out, in the order devices are added; a device the caller's
// vendor/product filter leaves out (0 matches any) is skipped. Every entry is made as hidapi makes
// its own (malloc'd strings).
class SimEnumeration
{
public:
    SimEnumeration(unsigned short vendorFilter, unsigned short productFilter)
        : m_vendorFilter(vendorFilter), m_productFilter(productFilter)
    {
    }
    SimEnumeration(const SimEnumeration&) = delete;
    SimEnumeration& operator=(const SimEnumeration&) = delete;

    // An unrelated HID device (a keyboard) listed among the displays.
    void AddForeign(const std::string& path, std::uint16_t product, std::uint16_t release);
    // One top-level collection of a display.
    void AddDisplay(const std::string& path, const SimDisplayConfig& display,
                    const SimCollection& collection);
    // The list, handed over; null when nothing matched.
    hid_device_info* Take();

private:
    void Add(const std::string& path, std::uint16_t vendor, std::uint16_t product, std::uint16_t release,
             const SimCollection& collection, const std::wstring& productName);

    unsigned short m_vendorFilter;
    unsigned short m_productFilter;
    UniqueHandle<ReleasedBy<hid_device_info*, FreeSimEnumeration>> m_list;
    hid_device_info** m_next = m_list.put(); // where the next entry is linked in
};
