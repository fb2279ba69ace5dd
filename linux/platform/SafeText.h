#pragma once

#include <cstddef>
#include <string>

// Text that came from outside (files, sysfs, the command line) is never echoed raw: a terminal or
// the journal would act on control characters and escape sequences in it.

// Control characters (C0, DEL, C1) and bytes that are not UTF-8 become "\xNN" ("\u0085" for C1);
// printable UTF-8 is kept. Escaped text has no control character left, so escaping twice changes
// nothing.
std::string EscapeControls(const std::string& text);

// The first limit characters of text (a byte that is not UTF-8 counts as one), "..." appended
// when something was cut, then escaped: fit for quoting a value in a message.
std::string QuoteValue(const std::string& text, std::size_t limit = 64);

// Wide text a device hands over (hidapi's product names and error texts): printable ASCII is kept,
// every other character becomes '?'; null gives "".
std::string NarrowDeviceText(const wchar_t* text);
