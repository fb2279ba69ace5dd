#pragma once

#include <string_view>

// The display's vendor/product pair as it appears in a device-interface name.
inline constexpr std::wstring_view kDisplayInterfaceId = L"VID_1A2C&PID_434D";

// True when the interface name carries the display's pair, in any letter case. Only ASCII letters
// are folded: interface names are ASCII, and folding other letters could forge a match.
bool NamesDisplayInterface(std::wstring_view name);
