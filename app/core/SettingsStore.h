#pragma once

// The user's display choices under HKEY_CURRENT_USER\SOFTWARE\<program title>, each a REG_SZ value
// holding decimal text. Window thread only; every call opens and closes the key. Registry errors are
// silent: an unreadable value reads as 0, a write to a key that cannot be opened is lost.

// The three values the main window keeps.
constexpr const wchar_t* kLedSwitchSetting = L"led_switch";
constexpr const wchar_t* kDeviceTypeSetting = L"device_type";
constexpr const wchar_t* kTempeTypeSetting = L"tempe_type";

// The value's text as an integer (see ParseSettingText). The first read on a fresh profile creates
// the key, so that the default written right after it has a place to go.
int ReadSetting(const wchar_t* name);

// Stores text unchanged as REG_SZ, terminating null included. Never creates the key.
void WriteSetting(const wchar_t* name, const wchar_t* text);

// Stores the value as its decimal text, the form ReadSetting parses back.
void WriteSetting(const wchar_t* name, int value);
