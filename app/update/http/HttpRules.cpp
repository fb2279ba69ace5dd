#include "app/update/http/HttpRules.h"

#include <cctype>

namespace
{
std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool SameOrigin(const UrlOrigin& a, const UrlOrigin& b)
{
    return a.scheme == b.scheme && a.host == b.host && a.port == b.port;
}
} // namespace

bool ParseContentLength(const std::string& text, unsigned long long& length)
{
    if (text.empty() || text.size() > 20)
        return false;
    unsigned long long value = 0;
    for (char c : text)
    {
        if (c < '0' || c > '9')
            return false;
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (value > (~0ULL - digit) / 10)
            return false;
        value = value * 10 + digit;
    }
    length = value;
    return true;
}

bool ParseUrlOrigin(const std::string& url, UrlOrigin& origin)
{
    const auto separator = url.find("://");
    if (separator == std::string::npos)
        return false;
    origin.scheme = Lower(url.substr(0, separator));
    unsigned defaultPort = 0;
    if (origin.scheme == "http")
        defaultPort = 80;
    else if (origin.scheme == "https")
        defaultPort = 443;
    else
        return false;

    const auto start = separator + 3;
    const auto end = url.find_first_of("/?#", start);
    const std::string authority =
        url.substr(start, end == std::string::npos ? std::string::npos : end - start);
    // User information would let "http://good@evil/" read as the good host to a careless eye.
    if (authority.empty() || authority.find('@') != std::string::npos)
        return false;
    const auto colon = authority.rfind(':');
    const bool bracketed = authority.front() == '[';
    if (colon != std::string::npos && (!bracketed || colon > authority.find(']')))
    {
        unsigned long long port = 0;
        if (!ParseContentLength(authority.substr(colon + 1), port) || port == 0 || port > 65535)
            return false;
        origin.host = Lower(authority.substr(0, colon));
        origin.port = static_cast<unsigned>(port);
    }
    else
    {
        origin.host = Lower(authority);
        origin.port = defaultPort;
    }
    return !origin.host.empty();
}

bool ResolveSameOriginRedirect(const std::string& base, const std::string& location, std::string& target)
{
    UrlOrigin from;
    if (!ParseUrlOrigin(base, from) || location.empty())
        return false;
    std::string candidate;
    if (location.compare(0, 2, "//") == 0)
        candidate = from.scheme + ":" + location;
    else if (location.front() == '/')
        candidate = base.substr(0, base.find_first_of("/?#", base.find("://") + 3)) + location;
    else
        candidate = location;
    UrlOrigin to;
    if (!ParseUrlOrigin(candidate, to) || !SameOrigin(from, to))
        return false;
    for (unsigned char c : candidate)
        if (c <= ' ' || c == 0x7F)
            return false;
    target = candidate;
    return true;
}

bool IsRedirectStatus(unsigned status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}
