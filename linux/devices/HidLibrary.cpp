#include "linux/devices/HidLibrary.h"

#include <hidapi.h>

HidLibrary::HidLibrary() : m_initialised(hid_init() == 0) {}

HidLibrary::~HidLibrary()
{
    hid_exit();
}
