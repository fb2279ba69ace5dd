#pragma once

#include <string>

// Appends one Unicode code point as UTF-8 (1 to 4 bytes). Pure: shared by the log's lines and the
// signed message's version text.
void AppendUtf8(char32_t code, std::string& out);
