#include "app/device/DisplayTick.h"

#include "app/device/CDeviceManager.h"
#include "app/device/SnapshotMapping.h"
#include "app/device/SensorSnapshot.h"

#include <optional>
#include <thread>

void DisplayTick(CDeviceManager& devices, const SnapshotMapping& snapshot, const DisplaySettings& settings,
                 std::chrono::milliseconds pause)
{
    // A scan can find a display and still fail to open the snapshot: then the display gets zero
    // readings ("no reading") rather than anything read through a missing view.
    std::optional<SensorSnapshot> readings;
    if (const volatile std::uint8_t* view = snapshot.View())
    {
        readings.emplace(view);
    }
    devices.SendToAll(BuildTickReport(readings ? &*readings : nullptr, settings));
    if (pause.count() > 0)
    {
        std::this_thread::sleep_for(pause);
    }
}
