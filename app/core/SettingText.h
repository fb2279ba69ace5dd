#pragma once

// A stored setting's text as an integer, read the way the C library's wide atoi reads it: leading
// white space, an optional sign, decimal digits; anything else ends the number, no digits give 0.
// Unlike the library function, a number too large for an int saturates instead of being undefined.
// text: null-terminated; null counts as empty.
int ParseSettingText(const wchar_t* text);
