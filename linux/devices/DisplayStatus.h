#pragma once

#include <string>

// What the status shows of one attached display. Every field is escaped text (no control
// character, so no line break or tab inside a field): the status file keeps a display on one line.
struct DisplayStatus
{
    std::string path;
    std::string product;
    std::string firmware; // "0x0103", or "unknown" when the display did not answer
    std::string shows;    // what the last report carried, or why it did not arrive
};
