#include "tools/hidrawsim/SimHidrawBus.h"

#include "tools/simdisplay/SimEnumeration.h"
#include "tools/simdisplay/SimFeatureReports.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

struct hid_device_
{
    int display = 0;
    unsigned generation = 0;
    bool versionRequested = false;
    std::wstring error;
};

namespace
{
std::string Hex(const unsigned char* data, size_t length)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < length; ++i)
    {
        text += digits[data[i] >> 4];
        text += digits[data[i] & 15];
    }
    return text;
}

// "resumes=N" among the simulator's key=value lines; 0 without one.
long ResumeCount(const std::string& text)
{
    long count = 0;
    std::string::size_type at = 0;
    while ((at = text.find("resumes=", at)) != std::string::npos)
    {
        if (at == 0 || text[at - 1] == '\n' || text[at - 1] == ';' || text[at - 1] == ' ')
        {
            count = std::strtol(text.c_str() + at + 8, nullptr, 10);
        }
        at += 8;
    }
    return count;
}

std::string DevicesFolder()
{
    if (const char* folder = std::getenv("HIDRAWSIM_DEVICES"))
    {
        return folder;
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string folder = runtime && runtime[0] == '/' ? std::string(runtime) + "/hidrawsim"
                                                            : "/tmp/hidrawsim-" + std::to_string(getuid());
    mkdir(folder.c_str(), 0700);
    struct stat info
    {
    };
    // Someone else's folder of that name in /tmp is not used: nodes then cannot be created and
    // every open fails, which the caller reports.
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid())
    {
        return "/nonexistent/hidrawsim";
    }
    return folder;
}

void CreateNode(const std::string& path)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd >= 0)
    {
        close(fd);
    }
}
} // namespace

SimHidrawBus& SimHidrawBus::Instance()
{
    static SimHidrawBus bus;
    return bus;
}

SimHidrawBus::SimHidrawBus() : m_devices(DevicesFolder())
{
    if (const char* path = std::getenv("HIDRAWSIM_CONFIG"))
    {
        m_configPath = path;
    }
    if (const char* log = std::getenv("HIDRAWSIM_LOG"))
    {
        m_logPath = log;
    }
    ReloadIfChanged();
    if (!m_applied) // no file: the settings come from the environment
    {
        bool ok = true;
        const char* text = std::getenv("HIDRAWSIM");
        Apply(ParseSimConfig(text ? text : "", ok), ResumeCount(text ? text : ""));
    }
}

std::string SimHidrawBus::PathOf(std::size_t display) const
{
    return m_devices + "/simhidraw" + std::to_string(display);
}

void SimHidrawBus::Apply(const SimConfig& config, long resumes)
{
    m_config = config;
    const bool resumed = m_applied && resumes != m_resumes;
    m_resumes = resumes;
    m_applied = true;
    const std::size_t count = config.displays.size();
    for (std::size_t i = 0; i < m_displays.size(); ++i)
    {
        if (i >= count && m_displays[i].plugged)
        {
            m_displays[i].plugged = false;
            ++m_displays[i].generation;
            unlink(PathOf(i).c_str());
        }
    }
    if (m_displays.size() < count)
    {
        m_displays.resize(count);
    }
    for (std::size_t i = 0; i < count; ++i)
    {
        m_displays[i].config = config.displays[i];
        m_displays[i].plugged = true;
        if (resumed) // removed and added again: a new node under the same name
        {
            ++m_displays[i].generation;
            unlink(PathOf(i).c_str());
        }
        CreateNode(PathOf(i));
    }
}

void SimHidrawBus::ReloadIfChanged()
{
    if (m_configPath.empty())
    {
        return;
    }
    struct stat info
    {
    };
    if (stat(m_configPath.c_str(), &info) != 0)
    {
        return;
    }
    if (info.st_mtim.tv_sec == m_configTime.tv_sec && info.st_mtim.tv_nsec == m_configTime.tv_nsec &&
        info.st_size == m_configSize)
    {
        return;
    }
    m_configTime = info.st_mtim;
    m_configSize = info.st_size;
    std::ifstream file(m_configPath);
    std::stringstream text;
    text << file.rdbuf();
    bool ok = true;
    Apply(ParseSimConfig(text.str(), ok), ResumeCount(text.str()));
}

void SimHidrawBus::Log(const std::string& line)
{
    if (m_logPath.empty())
    {
        return;
    }
    // One write per line with O_APPEND, so a reader in another process never sees half a line.
    const int fd = open(m_logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd >= 0)
    {
        const std::string whole = line + "\n";
        (void)!write(fd, whole.data(), whole.size());
        close(fd);
    }
}

SimHidrawBus::Display* SimHidrawBus::Live(hid_device* device)
{
    if (!device || device->display >= static_cast<int>(m_displays.size()))
    {
        return nullptr;
    }
    Display& display = m_displays[static_cast<std::size_t>(device->display)];
    if (!display.plugged || display.generation != device->generation)
    {
        device->error = L"No such device";
        return nullptr;
    }
    return &display;
}

int SimHidrawBus::Init()
{
    std::lock_guard<std::mutex> guard(m_lock);
    ReloadIfChanged();
    return m_config.initFails ? -1 : 0;
}

hid_device_info* SimHidrawBus::Enumerate(unsigned short vendor, unsigned short product)
{
    std::lock_guard<std::mutex> guard(m_lock);
    ReloadIfChanged();
    if (m_config.initFails)
    {
        return nullptr;
    }
    SimEnumeration list(vendor, product);
    for (int i = 0; i < m_config.foreignDevices; ++i)
    {
        list.AddForeign("/dev/simforeign" + std::to_string(i), 0x0001, 1);
    }
    for (std::size_t i = 0; i < m_displays.size(); ++i)
    {
        const Display& display = m_displays[i];
        if (!display.plugged)
        {
            continue;
        }
        for (const SimCollection& collection : display.config.collections)
        {
            list.AddDisplay(PathOf(i), display.config, collection);
        }
    }
    return list.Take();
}

hid_device* SimHidrawBus::Open(const char* path)
{
    std::lock_guard<std::mutex> guard(m_lock);
    ReloadIfChanged();
    for (std::size_t i = 0; path && i < m_displays.size(); ++i)
    {
        const Display& display = m_displays[i];
        if (display.plugged && PathOf(i) == path && !display.config.fail.open)
        {
            auto* device = new hid_device_;
            device->display = static_cast<int>(i);
            device->generation = display.generation;
            Log("open display=" + std::to_string(i));
            return device;
        }
    }
    m_lastError = L"Failed to open a device with path";
    return nullptr;
}

void SimHidrawBus::Close(hid_device* device)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (device)
    {
        Log("close display=" + std::to_string(device->display));
        delete device;
    }
}

int SimHidrawBus::SendFeature(hid_device* device, const unsigned char* data, size_t length)
{
    std::lock_guard<std::mutex> guard(m_lock);
    ReloadIfChanged(); // a display can go while a handle stays open, as the kernel's do
    Display* display = Live(device);
    if (!display)
    {
        return -1;
    }
    const SimDisplayConfig& config = display->config;
    const bool declared = DeclaresReportId(config, data[0]);
    // One node carries all of a display's collections: a report goes to the one that declares it.
    const bool hasFeatures =
        std::any_of(config.collections.begin(), config.collections.end(), DeclaresFeatureReports);
    const std::size_t delivered = std::min(length, static_cast<std::size_t>(config.featureLength));
    const int result =
        (config.fail.send || !declared || !hasFeatures || length == 0) ? -1 : static_cast<int>(length);
    if (!m_logPath.empty()) // benchmarks run without a log and should not pay for its text
    {
        Log("set display=" + std::to_string(device->display) + " requested=" + std::to_string(length) +
            " delivered=" + std::to_string(delivered) + " result=" + std::to_string(result) +
            " data=" + Hex(data, length));
    }
    if (result < 0)
    {
        device->error = L"Broken pipe";
        return -1;
    }
    device->versionRequested = IsVersionRequest(data, length);
    return result;
}

int SimHidrawBus::GetFeature(hid_device* device, unsigned char* data, size_t length)
{
    std::lock_guard<std::mutex> guard(m_lock);
    Display* display = Live(device);
    if (!display)
    {
        return -1;
    }
    const SimDisplayConfig& config = display->config;
    const std::size_t declared = static_cast<std::size_t>(config.featureLength);
    if (config.fail.noReply || length < declared)
    {
        device->error = L"Broken pipe";
        return -1;
    }
    const std::vector<unsigned char> reply = FeatureReply(config, data[0], device->versionRequested);
    std::memcpy(data, reply.data(), declared);
    Log("get display=" + std::to_string(device->display) + " data=" + Hex(data, declared));
    return static_cast<int>(declared);
}

int SimHidrawBus::ProductString(hid_device* device, wchar_t* text, size_t length)
{
    std::lock_guard<std::mutex> guard(m_lock);
    Display* display = Live(device);
    if (!display || display->config.fail.product || length == 0)
    {
        return -1;
    }
    std::wcsncpy(text, display->config.productName.c_str(), length);
    text[length - 1] = L'\0';
    return 0;
}

const wchar_t* SimHidrawBus::Error(hid_device* device)
{
    std::lock_guard<std::mutex> guard(m_lock);
    return device ? device->error.c_str() : m_lastError.c_str();
}
