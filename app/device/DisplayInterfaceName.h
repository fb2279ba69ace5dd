#pragma once

#include <string_view>

// True when the interface name carries the display's pair, in any letter case. Only ASCII letters
// are folded: interface names are ASCII, and folding other letters could forge a match.
bool NamesDisplayInterface(std::wstring_view name);
