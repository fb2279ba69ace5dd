#pragma once

#include "app/device/DeviceWorker.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

// The dispatcher with its seams recorded: labels in the order the worker reached them, and a
// settable answer for the vendor-collection check on arrival.
class RecordingWorker : public DeviceWorker
{
public:
    explicit RecordingWorker(CDeviceManager& devices) : DeviceWorker(devices, UniqueSnapshotName()) {}
    ~RecordingWorker() { Stop(); }

    std::vector<std::string> Events() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_events;
    }
    void ClearEvents()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events.clear();
    }
    void SetLed(int value) { m_ledSwitch = value; }

    bool useRealCheck = false;
    bool checkAnswer = false;
    std::vector<std::wstring> checkedPaths;

protected:
    void SetDeviceLabel(const std::wstring& text) override
    {
        Record("label:" + std::string(text.begin(), text.end()));
    }
    bool IsDisplayVendorCollection(const wchar_t* path) override
    {
        checkedPaths.emplace_back(path);
        return useRealCheck ? DeviceWorker::IsDisplayVendorCollection(path) : checkAnswer;
    }

private:
    static std::string UniqueSnapshotName()
    {
        static std::atomic<int> next{0};
        return "tk_worker_test_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(next++);
    }
    void Record(std::string event)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events.push_back(std::move(event));
    }

    mutable std::mutex m_mutex;
    std::vector<std::string> m_events; // guarded by m_mutex: worker records, test thread reads
};
