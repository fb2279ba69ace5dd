#pragma once

#include <string>

// Why an HTTP transfer failed, kept for the update's own failure record. httpStatus is the status the
// server answered (0 when none arrived, 200 when the body broke a rule), systemError the WinINet or
// system code (0 when none), detail a short fixed ASCII text naming the step or rule.
struct HttpError
{
    unsigned long httpStatus = 0;
    unsigned long systemError = 0;
    std::string detail;
};
