#include "app/device/CHidDevice.h"

#include <hidapi.h>

#include <utility>

CHidDevice::~CHidDevice()
{
    Close();
}

CHidDevice::CHidDevice(CHidDevice&& other) noexcept : m_device(std::exchange(other.m_device, nullptr)) {}

CHidDevice& CHidDevice::operator=(CHidDevice&& other) noexcept
{
    if (this != &other)
    {
        Close();
        m_device = std::exchange(other.m_device, nullptr);
    }
    return *this;
}

void CHidDevice::Close()
{
    if (m_device)
    {
        hid_close(std::exchange(m_device, nullptr));
    }
}
