#include "linux/tool/ToolCommands.h"

#include "linux/devices/AttachedDisplays.h"
#include "linux/devices/HidDeviceList.h"
#include "linux/platform/SafeText.h"
#include "linux/status/JsonWriter.h"
#include "linux/tool/ToolCommandLine.h"
#include "linux/tool/ToolFiles.h"

#include <cstdio>
#include <hidapi.h>

namespace
{
void SensorJson(JsonWriter& json, const SensorStatus& sensor)
{
    json.BeginObject()
        .Key("sensor")
        .OptionalString(sensor.id)
        .Key("state")
        .String(sensor.state)
        .Key("celsius")
        .OptionalNumber(sensor.hasCelsius, sensor.celsius)
        .Key("description")
        .String(sensor.description)
        .Key("reading")
        .String(sensor.reading)
        .EndObject();
}

void StatusJson(const DaemonStatus& status, std::ostream& out)
{
    JsonWriter json;
    json.BeginObject().Key("running").Bool(true).Key("pid").Integer(status.pid);
    json.Key("config").String(status.config).Key("settings").BeginObject();
    for (const char* key : kSettingKeys)
    {
        json.Key(key).String(SettingValue(status.settings, key));
    }
    json.EndObject().Key("config_problems").BeginArray();
    for (const std::string& problem : status.configProblems)
    {
        json.String(problem);
    }
    json.EndArray().Key("hotplug").String(status.hotplug).Key("cpu");
    SensorJson(json, status.cpu);
    json.Key("gpu");
    SensorJson(json, status.gpu);
    json.Key("shows").BeginObject().Key("text").String(status.shows).Key("value");
    status.hasValue ? json.Integer(status.value) : json.Null();
    json.Key("unit").String(SettingValue(status.settings, "unit")).EndObject();
    json.Key("displays").BeginArray();
    for (const DisplayStatus& display : status.displays)
    {
        json.BeginObject().Key("path").String(display.path).Key("product").String(display.product);
        json.Key("firmware").OptionalString(display.firmware == "unknown" ? "" : display.firmware);
        json.Key("shows").String(display.shows).EndObject();
    }
    json.EndArray().Key("problems").BeginArray();
    for (const std::string& problem : status.problems)
    {
        json.String(problem);
    }
    out << json.EndArray().EndObject().Text();
}

void StatusText(const DaemonStatus& status, std::ostream& out)
{
    out << "kelvaned running (pid " << status.pid << ")\n"
        << "  config:   " << status.config << "\n"
        << "  settings: " << DescribeSettings(status.settings) << "\n";
    for (const std::string& problem : status.configProblems)
    {
        out << "  config problem: " << problem << "\n";
    }
    out << "  cpu:      " << status.cpu.description << ": " << status.cpu.reading << "\n"
        << "  gpu:      " << status.gpu.description << ": " << status.gpu.reading << "\n"
        << "  shows:    " << status.shows << "\n"
        << "  hot-plug: " << status.hotplug << "\n";
    if (status.displays.empty())
    {
        out << "  displays: none attached\n";
    }
    else
    {
        out << "  displays: " << status.displays.size() << " attached\n";
        for (const DisplayStatus& display : status.displays)
        {
            out << "    " << display.path << "  \"" << display.product << "\"  firmware " << display.firmware
                << "  shows " << display.shows << "\n";
        }
    }
    for (const std::string& problem : status.problems)
    {
        out << "  problem:  " << problem << "\n";
    }
}
} // namespace

int ShowStatus(const InstancePaths& paths, bool json, std::ostream& out, std::ostream& err)
{
    DaemonStatus status;
    std::string why;
    const DaemonState state = ReadRunningDaemon(paths, status, why);
    if (state == DaemonState::Running)
    {
        json ? StatusJson(status, out) : StatusText(status, out);
        return kExitOk;
    }
    if (state == DaemonState::Refused)
    {
        err << "kelvanectl: " << why << "\n";
    }
    else
    {
        err << "kelvanectl: kelvaned is not running (no live status in " << EscapeControls(paths.status)
            << ").\n"
            << "Start the service with 'sudo systemctl start kelvaned', or run 'kelvaned --user' and use "
               "'kelvanectl --user status'.\n";
    }
    if (json)
    {
        out << JsonWriter()
                   .BeginObject()
                   .Key("running")
                   .Bool(false)
                   .Key("status_file")
                   .String(paths.status)
                   .EndObject()
                   .Text();
    }
    return state == DaemonState::Refused ? kExitFailed : kExitNotRunning;
}

int ListDisplays(bool json, std::ostream& out, std::ostream& err)
{
    if (hid_init() != 0)
    {
        err << "kelvanectl: hidapi could not start; is libhidapi-hidraw0 installed?\n";
        return kExitFailed;
    }
    JsonWriter document;
    document.BeginObject().Key("displays").BeginArray();
    int count = 0;
    HidDeviceList all(hid_enumerate(kDisplayVendorId, kDisplayProductId));
    for (const hid_device_info* info = all.get(); info; info = info->next)
    {
        if (info->usage_page != kDisplayUsagePage || info->usage != kDisplayUsage || !info->path)
        {
            continue;
        }
        char release[8];
        std::snprintf(release, sizeof release, "0x%04x", info->release_number);
        const std::string path = EscapeControls(info->path);
        const std::string product = NarrowDeviceText(info->product_string);
        document.BeginObject().Key("path").String(path).Key("product").String(product);
        document.Key("release").String(release).EndObject();
        if (!json)
        {
            out << path << "  \"" << product << "\"  release " << release << "\n";
        }
        ++count;
    }
    all.reset(); // before hidapi stops
    hid_exit();
    if (json)
    {
        out << document.EndArray().EndObject().Text();
    }
    if (count == 0)
    {
        err << "kelvanectl: no display attached\n";
    }
    return kExitOk;
}
