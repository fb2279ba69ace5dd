#include "tessel/TesselApi.h"

// Lets a host check at run time which framework build it loaded.
extern "C" TESSEL_API const wchar_t* TesselVersion()
{
    return L"1.0.0";
}
