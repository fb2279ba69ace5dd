#pragma once

#include <cstdint>
#include <string>

// "<message><code in lower-case hex, no leading zeros>\n"; a negative code is shown as its
// unsigned 32-bit value, so access denied reads 80070005.
std::string HresultMessage(const char* message, std::int32_t code);
