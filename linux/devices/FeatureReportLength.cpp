#include "linux/devices/FeatureReportLength.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace
{
struct GlobalState
{
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint32_t reportId = 0;
};

std::uint32_t ItemValue(const std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t size)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
    {
        value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
    }
    return value;
}
} // namespace

std::size_t DeclaredFeatureLength(const std::vector<std::uint8_t>& descriptor, std::uint8_t reportId)
{
    GlobalState state;
    std::vector<GlobalState> pushed;
    std::uint64_t bits = 0;
    bool found = false;
    for (std::size_t at = 0; at < descriptor.size();)
    {
        const std::uint8_t prefix = descriptor[at];
        if (prefix == 0xFE) // long item: skip its data
        {
            if (at + 1 >= descriptor.size())
            {
                break;
            }
            at += 3 + descriptor[at + 1];
            continue;
        }
        const std::size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
        if (at + 1 + size > descriptor.size())
        {
            break; // truncated descriptor: use what was complete
        }
        const std::uint32_t value = ItemValue(descriptor, at + 1, size);
        switch (prefix & 0xFC)
        {
        case 0x74: // Report Size
            state.reportSize = value;
            break;
        case 0x94: // Report Count
            state.reportCount = value;
            break;
        case 0x84: // Report ID
            state.reportId = value;
            break;
        case 0xA4: // Push
            pushed.push_back(state);
            break;
        case 0xB4: // Pop
            if (!pushed.empty())
            {
                state = pushed.back();
                pushed.pop_back();
            }
            break;
        case 0xB0: // Feature
            if (state.reportId == reportId)
            {
                bits += static_cast<std::uint64_t>(state.reportSize) * state.reportCount;
                found = true;
            }
            break;
        default:
            break;
        }
        at += 1 + size;
    }
    if (!found)
    {
        return 0;
    }
    return static_cast<std::size_t>((bits + 7) / 8) + (reportId != 0 ? 1 : 0);
}

std::vector<std::uint8_t> ReadReportDescriptor(const std::string& sysfsRoot, const std::string& devicePath)
{
    const auto slash = devicePath.rfind('/');
    const std::string node = slash == std::string::npos ? devicePath : devicePath.substr(slash + 1);
    if (node.empty() || node == "." || node == "..")
    {
        return {};
    }
    std::ifstream file(sysfsRoot + "/class/hidraw/" + node + "/device/report_descriptor", std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void FitToLength(const std::uint8_t* report, std::size_t size, std::size_t length,
                 std::vector<std::uint8_t>& into)
{
    into.assign(report, report + size);
    if (length != 0)
    {
        into.resize(length, 0);
    }
}
