#include "app/core/SettingsStore.h"

#include "app/core/ProgramTitle.h"
#include "app/core/RegistryKey.h"
#include "app/core/SettingText.h"
#include "app/platform/LogLine.h"
#include "app/platform/ProgramLog.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace
{
std::wstring SettingsKeyPath()
{
    return std::wstring(L"SOFTWARE\\") + kProgramTitle;
}

constexpr DWORD kReadBufferBytes = 512;
// Less than half the buffer, so the text read always ends in zeros whatever the value holds.
constexpr DWORD kReadDataBytes = 255;
} // namespace

int ReadSetting(const wchar_t* name)
{
    const std::wstring path = SettingsKeyPath();
    RegistryKey key;
    const LSTATUS opened = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, key.put());
    if (opened == ERROR_FILE_NOT_FOUND)
    {
        RegistryKey created;
        RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, created.put(), nullptr);
        return 0;
    }
    if (opened != ERROR_SUCCESS)
    {
        return 0;
    }

    // Whatever type the value has, its bytes are read as wide text.
    wchar_t text[kReadBufferBytes / sizeof(wchar_t)] = {};
    DWORD size = kReadDataBytes;
    const LSTATUS queried =
        RegQueryValueExW(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
    if (queried != ERROR_SUCCESS)
    {
        // A value too long for the buffer leaves its contents undefined: read it as missing.
        std::wmemset(text, L'\0', sizeof(text) / sizeof(text[0]));
    }
    key.reset();
    return ParseSettingText(text);
}

void WriteSetting(const wchar_t* name, const wchar_t* text)
{
    const wchar_t* data = text != nullptr ? text : L"";
    RegistryKey key;
    LSTATUS status =
        RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKeyPath().c_str(), 0, KEY_ALL_ACCESS, key.put());
    if (status == ERROR_SUCCESS)
    {
        const DWORD bytes = static_cast<DWORD>((std::wcslen(data) + 1) * sizeof(wchar_t));
        status = RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), bytes);
    }
    // Each change, and each one that is lost, leaves its line.
    const std::string change = "name=" + LogUtf8(name != nullptr ? name : L"") + " value=" + LogUtf8(data);
    ProgramLog::Write("setting", status == ERROR_SUCCESS
                                     ? change
                                     : change + " result=lost error=" + std::to_string(status));
}

void WriteSetting(const wchar_t* name, int value)
{
    WriteSetting(name, std::to_wstring(value).c_str());
}
