#include "app/device/DisplayInterfaceName.h"

#include "app/device/DisplayIdentity.h"

#include <string>

namespace
{
// "VID_1A2C&PID_434D": the display's vendor/product pair as Windows writes it into
// device-interface names, in upper-case hex.
std::wstring DisplayInterfaceId()
{
    constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring id = L"VID_0000&PID_0000";
    for (int i = 0; i < 4; ++i)
    {
        id[4 + i] = kDigits[(kDisplayVendorId >> (12 - 4 * i)) & 0xF];
        id[13 + i] = kDigits[(kDisplayProductId >> (12 - 4 * i)) & 0xF];
    }
    return id;
}
} // namespace

bool NamesDisplayInterface(std::wstring_view name)
{
    static const std::wstring id = DisplayInterfaceId();
    std::wstring upper(name);
    for (wchar_t& c : upper)
    {
        if (c >= L'a' && c <= L'z')
        {
            c = static_cast<wchar_t>(c - L'a' + L'A');
        }
    }
    return upper.find(id) != std::wstring::npos;
}
