#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// Version texts as the update server serves them and as the program and the displays state theirs.
// Pure text rules, shared by the checks and the tests.

// A version as a Windows version resource holds one: four 16-bit parts, a missing part counting as 0
// ("1.0" is 1.0.0.0).
struct VersionNumber
{
    std::array<std::uint16_t, 4> parts{};
};

// The version a text states: 1 to 4 parts of decimal digits separated by single dots, each part 0 to
// 65535 and written without leading zeros ("0" itself excepted), so each version has one text and
// the names and signatures made from it are unique. Anything else is refused: an empty text or part,
// a fifth part, a sign, a space or any other character. The line break a server ends the file with
// is removed first (TrimLineBreaks).
std::optional<VersionNumber> ParseVersion(const std::wstring& text);

// Negative when a is older than b, 0 when equal, positive when newer; part by part as numbers.
int CompareVersions(const VersionNumber& a, const VersionNumber& b);

// True only when both texts are versions and offered is strictly newer than installed.
bool IsNewerVersion(const std::wstring& installed, const std::wstring& offered);

// Servers usually end the file with a line break; it must not reach file names or addresses.
std::wstring TrimLineBreaks(const std::wstring& text);

// The display's 16-bit firmware version written as "%x" would write it ("1a0" for 0x01A0). Displays
// state their versions so that this text reads as decimal digits (0x0103 is version 103); one with a
// hexadecimal letter states no version the server could offer a newer one of.
std::wstring FirmwareVersionText(int version);

// The server's firmware text names a newer firmware than the display reports, both read by the rule
// above (so 0x0103 compares as 103). A negative version means the display could not be asked.
bool IsFirmwareUpdateAvailable(int displayVersion, const std::wstring& latest);
