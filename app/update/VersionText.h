#pragma once

#include <string>

// Version texts as the update server serves them. Pure text rules, shared by the checks and the tests.

// 2 when the part counts differ, 1 when latest is newer, 0 when equal, -1 when current is newer.
int CompareVersions(const std::wstring& current, const std::wstring& latest);

// Leading white space, an optional sign, then decimal digits up to the first other character; no digits
// gives 0. Saturates instead of overflowing.
long long ReadDecimal(const std::wstring& text);

// Servers usually end the file with a line break; it must not reach file names or addresses.
std::wstring TrimLineBreaks(const std::wstring& text);

// 1 to 10 characters, and only characters that are safe inside a file name and an address
// (digits, letters, '.', '-', '_'): the text becomes part of a path the program writes and starts.
bool IsUsableVersionText(const std::wstring& text);

// The display's 16-bit firmware version written as "%x" would write it ("1a0" for 0x01A0).
std::wstring FirmwareVersionText(int version);

// The server's firmware text names a newer firmware than the display reports: both are read as decimal
// numbers (so 0x0103 compares as 103). A negative version means the display could not be asked.
bool IsFirmwareUpdateAvailable(int displayVersion, const std::wstring& latest);
