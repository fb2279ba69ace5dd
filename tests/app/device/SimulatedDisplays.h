#pragma once

#include "app/device/CDeviceManager.h"
#include "tools/displaysim/DisplaySimRecords.h"

#include <gtest/gtest.h>

#include <string>

// A device manager over displays simulated as configured, with the program's one filter set and
// the event record cleared.
class SimulatedDisplays : public ::testing::Test
{
protected:
    void Configure(const std::string& config)
    {
        ASSERT_EQ(displaysim_configure(config.c_str()), 1) << config;
        displaysim_clear_records();
    }
    // What the scan command does.
    void Scan()
    {
        m_devices.ClearFilters();
        m_devices.AddFilter(kDisplayVendorId, kDisplayProductId, L"", 1);
        m_devices.CloseAll();
        m_devices.ScanDevices();
        m_devices.SetReady();
    }

    CDeviceManager m_devices;
};
