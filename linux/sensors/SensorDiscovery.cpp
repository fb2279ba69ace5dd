#include "linux/sensors/SensorDiscovery.h"

#include <algorithm>
#include <initializer_list>

namespace
{
struct Preference
{
    std::initializer_list<const char*> drivers;
    std::initializer_list<const char*> labels; // in order; none matching: the device's first input
};

// The first device of a preferred driver (in preference order, then listing order) decides.
const SensorCandidate* Pick(const std::vector<SensorCandidate>& candidates,
                            std::initializer_list<Preference> preferences)
{
    for (const Preference& preference : preferences)
    {
        for (const SensorCandidate& first : candidates)
        {
            const bool matches = std::any_of(preference.drivers.begin(), preference.drivers.end(),
                                             [&](const char* driver) { return first.driver == driver; });
            if (!matches)
            {
                continue;
            }
            for (const char* label : preference.labels)
            {
                for (const SensorCandidate& other : candidates)
                {
                    if (other.driver == first.driver && other.device == first.device && other.label == label)
                    {
                        return &other;
                    }
                }
            }
            return &first; // candidates list a device's inputs in order, so this is its first
        }
    }
    return nullptr;
}
} // namespace

const SensorCandidate* AutoCpuSensor(const std::vector<SensorCandidate>& candidates)
{
    if (const SensorCandidate* found = Pick(candidates, {{{"k10temp"}, {"Tctl", "Tdie"}},
                                                         {{"coretemp"}, {"Package id 0"}},
                                                         {{"zenpower"}, {"Tctl", "Tdie"}}}))
    {
        return found;
    }
    const auto zone = std::find_if(candidates.begin(), candidates.end(),
                                   [](const SensorCandidate& c) {
                                       return c.driver == "thermal" &&
                                              (c.label == "x86_pkg_temp" || c.label == "cpu-thermal");
                                   });
    return zone == candidates.end() ? nullptr : &*zone;
}

const SensorCandidate* AutoGpuSensor(const std::vector<SensorCandidate>& candidates)
{
    // i915 and xe publish a temperature only on some hardware; without one they list no input.
    return Pick(candidates,
                {{{"amdgpu"}, {"edge"}}, {{"nouveau"}, {}}, {{"i915", "xe"}, {}}, {{"nvml"}, {}}});
}
