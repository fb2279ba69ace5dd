// Stand-in sensor server: keeps the shared sensor block current until it is terminated.
#include "tools/sensorserver/CpuThermalZones.h"
#include "tools/sensorserver/GpuAdapterTemperatures.h"
#include "tools/sensorserver/ProgramPresence.h"
#include "tools/sensorserver/ReplayScript.h"
#include "tools/sensorserver/ServerInstance.h"
#include "tools/sensorserver/SnapshotBlock.h"

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

namespace
{
std::wstring ModuleFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    const std::size_t slash = folder.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

std::string LastComponentAnsi(const std::wstring& folder)
{
    std::wstring trimmed = folder;
    if (!trimmed.empty() && trimmed.back() == L'\\')
        trimmed.pop_back();
    const std::size_t slash = trimmed.find_last_of(L'\\');
    const std::wstring name = slash == std::wstring::npos ? trimmed : trimmed.substr(slash + 1);
    char buffer[64] = {};
    WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, buffer, sizeof buffer - 1, nullptr, nullptr);
    return buffer;
}

// The replay file named by THERMIVOX_REPLAY, else "ThermivoxReplay.txt" beside the server.
std::wstring ReplayPath(const std::wstring& folder)
{
    wchar_t fromEnv[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(L"THERMIVOX_REPLAY", fromEnv, MAX_PATH);
    if (n > 0 && n < MAX_PATH)
        return fromEnv;
    return folder + L"ThermivoxReplay.txt";
}

bool LoadReplay(const std::wstring& path, thermivox::ReplayScript& script)
{
    std::ifstream file(path.c_str());
    if (!file)
        return false;
    std::stringstream text;
    text << file.rdbuf();
    script = thermivox::ReplayScript::Parse(text.str());
    return !script.steps().empty();
}

void RunReplay(thermivox::SnapshotBlock& block, const std::wstring& path, ProgramPresence& presence)
{
    thermivox::ReplayScript script;
    // Read again at every pass so a curve can be edited while it plays.
    while (LoadReplay(path, script))
    {
        for (const thermivox::ReplayStep& step : script.steps())
        {
            block.Publish(step.readings, thermivox::ReadingSource::Replay);
            if (!presence.Hold(step.holdMs))
                return;
        }
    }
}

void RunSystemSensors(thermivox::SnapshotBlock& block, ProgramPresence& presence)
{
    thermivox::CpuThermalZones zones;
    thermivox::GpuAdapterTemperatures gpus;
    while (presence.Wanted())
    {
        thermivox::Readings readings;
        const bool cpu = zones.Read(readings.cpu);
        if (!cpu)
            readings.cpu = 0.0f;
        readings.liveness = cpu ? 1.0f : 0.0f;
        const int gpuCount = gpus.Read(readings);
        const auto source =
            cpu || gpuCount > 0 ? thermivox::ReadingSource::System : thermivox::ReadingSource::None;
        block.Publish(readings, source);
        if (!presence.Hold(1000))
            return;
    }
}
} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // Before anything else: a second copy must not serve, only be counted.
    const thermivox::ServerInstance instance;
    if (!instance.IsOnlyOne())
    {
        thermivox::SnapshotBlock block;
        if (block.OpenExisting())
            block.CountRefusedStart();
        return thermivox::ServerInstance::kAlreadyRunningExitCode;
    }
    const std::wstring folder = ModuleFolder();
    thermivox::SnapshotBlock block;
    while (!block.Open())
        Sleep(1000);
    block.MarkStarted(LastComponentAnsi(folder));
    const std::wstring replay = ReplayPath(folder);
    ProgramPresence presence;
    thermivox::ReplayScript probe;
    if (LoadReplay(replay, probe))
        RunReplay(block, replay, presence);
    RunSystemSensors(block, presence);
    return 0;
}
