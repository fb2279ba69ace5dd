#include "app/core/ComApartment.h"

#include <objbase.h>

ComApartment::ComApartment() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}

ComApartment::~ComApartment()
{
    if (Joined())
        CoUninitialize();
}
