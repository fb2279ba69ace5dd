#include "tests/app/ui/ProgramUnderTest.h"

#include "app/core/KillProcessByName.h"

#include <tlhelp32.h>

#include <fstream>

#ifndef TK_STAGE_DIR_WIN
#error "TK_STAGE_DIR_WIN names the staged program folder"
#endif

namespace
{
constexpr wchar_t kProgramImage[] = L"Tarvik Kelvane.exe";
constexpr wchar_t kServerImage[] = L"ThermivoxServer.exe";
constexpr wchar_t kSettingsKey[] = L"SOFTWARE\\Tarvik Kelvane";

void EndAll(const wchar_t* image)
{
    for (int round = 0; round < 50 && CountProcesses(image) > 0; ++round)
    {
        KillProcessByName(image);
        Sleep(100);
    }
}
} // namespace

std::wstring ProgramUnderTest::StageFolder()
{
    return L"" TK_STAGE_DIR_WIN L"\\";
}

std::wstring ProgramUnderTest::WorkFolder()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"kelvane_e2e\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void ProgramUnderTest::CleanSlate()
{
    EndAll(kProgramImage);
    EndAll(kServerImage);
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKey);
}

HANDLE ProgramUnderTest::StartCopy(const std::wstring& arguments)
{
    const std::wstring exe = StageFolder() + kProgramImage;
    std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        StageFolder().c_str(), &startup, &info))
        return nullptr;
    CloseHandle(info.hThread);
    return info.hProcess;
}

ProgramUnderTest::ProgramUnderTest(const ProgramOptions& options)
{
    CleanSlate();
    // Tessel draws text in "Arial", which Windows has and this Wine prefix lacks: let Wine serve
    // the host's Open Sans under that name, as a Windows machine would serve Arial.
    const wchar_t openSans[] = L"Open Sans";
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Fonts\\Replacements", L"Arial", REG_SZ, openSans,
                    sizeof openSans);
    const std::wstring work = WorkFolder();
    m_logPath = work + L"displays.log";
    DeleteFileW(m_logPath.c_str());
    const std::wstring replay = work + L"curve.txt";
    DeleteFileW(replay.c_str());
    if (!options.replay.empty())
    {
        std::ofstream(replay.c_str()) << options.replay;
        SetEnvironmentVariableW(L"THERMIVOX_REPLAY", replay.c_str());
    }
    else
    {
        SetEnvironmentVariableW(L"THERMIVOX_REPLAY", (work + L"no-replay.txt").c_str());
    }
    SetEnvironmentVariableW(
        L"DISPLAYSIM",
        (L"displays=" + std::to_wstring(options.displays) + L";" + options.displaySim).c_str());
    SetEnvironmentVariableW(L"DISPLAYSIM_LOG", m_logPath.c_str());
    for (const auto& setting : options.settings)
        WriteSettingText(setting.first.c_str(), setting.second.c_str());
    m_startedUtc = UtcNow();
    m_process = StartCopy(options.arguments);
}

ProgramUnderTest::~ProgramUnderTest()
{
    if (m_process)
    {
        TerminateProcess(m_process, 9);
        WaitForSingleObject(m_process, 5000);
        CloseHandle(m_process);
    }
    CleanSlate();
}

HWND ProgramUnderTest::WaitForWindow(DWORD ms)
{
    const DWORD processId = GetProcessId(m_process);
    for (DWORD waited = 0; waited < ms; waited += 50)
    {
        for (HWND window = FindWindowExW(nullptr, nullptr, L"MWindow", L"KELVANE"); window;
             window = FindWindowExW(nullptr, window, L"MWindow", L"KELVANE"))
        {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == processId)
                return m_window = window;
        }
        Sleep(50);
    }
    return nullptr;
}

bool ProgramUnderTest::WaitForExit(DWORD ms, DWORD& code)
{
    if (WaitForSingleObject(m_process, ms) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(m_process, &code);
    return true;
}

std::vector<SimLogEntry> ProgramUnderTest::WaitForReports(std::size_t count, DWORD ms) const
{
    std::vector<SimLogEntry> reports;
    for (DWORD waited = 0; waited <= ms; waited += 100)
    {
        reports = TemperatureReports(Log());
        if (reports.size() >= count)
            break;
        Sleep(100);
    }
    return reports;
}

void ProgramUnderTest::Click(int x, int y)
{
    // Real input: a press on the background starts the system's window-move loop, which only a
    // real button release ends.
    POINT at{x, y};
    ClientToScreen(m_window, &at);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3] = {};
    for (INPUT& input : inputs)
    {
        input.type = INPUT_MOUSE;
        input.mi.dx = static_cast<LONG>((at.x * 65535LL + width / 2) / (width - 1));
        input.mi.dy = static_cast<LONG>((at.y * 65535LL + height / 2) / (height - 1));
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &inputs[0], sizeof(INPUT));
    Sleep(100);
    SendInput(2, &inputs[1], sizeof(INPUT));
    Sleep(200);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(m_window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
}

std::wstring SettingText(const wchar_t* name)
{
    wchar_t text[256] = {};
    DWORD bytes = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, text, &bytes) !=
        ERROR_SUCCESS)
        return std::wstring();
    return text;
}

void WriteSettingText(const wchar_t* name, const wchar_t* text)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_SZ, text,
                    static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
}

int CountProcesses(const wchar_t* imageName)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (lstrcmpiW(entry.szExeFile, imageName) == 0)
            ++count;
    CloseHandle(snapshot);
    return count;
}
