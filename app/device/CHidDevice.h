#pragma once

struct hid_device_;
typedef struct hid_device_ hid_device;

// Sole owner of one open hidapi device; closes it with hid_close.
class CHidDevice
{
public:
    CHidDevice() = default;
    explicit CHidDevice(hid_device* device) : m_device(device) {}
    ~CHidDevice();
    CHidDevice(CHidDevice&& other) noexcept;
    CHidDevice& operator=(CHidDevice&& other) noexcept;
    CHidDevice(const CHidDevice&) = delete;
    CHidDevice& operator=(const CHidDevice&) = delete;

    hid_device* get() const { return m_device; }
    bool IsOpen() const { return m_device != nullptr; }
    void Close();

private:
    hid_device* m_device = nullptr;
};
