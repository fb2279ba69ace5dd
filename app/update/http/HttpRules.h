#pragma once

#include <string>

// Checks on what an HTTP server sends back, kept apart from WinINet so they can be tested alone.

// Content-Length as text: decimal digits only, at most 2^64 - 1. Anything else (sign, spaces inside,
// an empty text, an overflow) is refused rather than read as some other number.
bool ParseContentLength(const std::string& text, unsigned long long& length);

// The parts of an absolute http or https URL that decide where it goes. Scheme and host are lower
// case; the port is the default one when none is given.
struct UrlOrigin
{
    std::string scheme;
    std::string host;
    unsigned port = 0;
};
bool ParseUrlOrigin(const std::string& url, UrlOrigin& origin);

// Where a redirect from base to location leads: an absolute URL, or a path starting with '/' on
// base's server. False unless the target has base's scheme, host and port.
bool ResolveSameOriginRedirect(const std::string& base, const std::string& location, std::string& target);

bool IsRedirectStatus(unsigned status);
