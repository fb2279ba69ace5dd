#pragma once

#include <string>

// One accepted vendor/product pair.
struct DeviceFilter
{
    int vendor = 0;
    int product = 0;
    std::wstring name;
    int flag = 0; // kept as given; no operation consults it
};
