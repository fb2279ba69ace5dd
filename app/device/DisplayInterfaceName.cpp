#include "app/device/DisplayInterfaceName.h"

#include <string>

bool NamesDisplayInterface(std::wstring_view name)
{
    std::wstring upper(name);
    for (wchar_t& c : upper)
    {
        if (c >= L'a' && c <= L'z')
        {
            c = static_cast<wchar_t>(c - L'a' + L'A');
        }
    }
    return upper.find(kDisplayInterfaceId) != std::wstring::npos;
}
