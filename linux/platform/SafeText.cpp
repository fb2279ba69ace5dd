#include "linux/platform/SafeText.h"

#include <cstdio>

namespace
{
// Length of the UTF-8 sequence starting at text[at] and its code point; 0 when it is not one.
std::size_t Utf8Sequence(const std::string& text, std::size_t at, unsigned& code)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
    {
        length = 2;
        code = lead & 0x1F;
    }
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
        length = 3;
        code = lead & 0x0F;
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        length = 4;
        code = lead & 0x07;
    }
    if (length == 0 || at + length > text.size())
    {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i)
    {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
        {
            return 0;
        }
        code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    const unsigned lowest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < lowest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
    {
        return 0;
    }
    return length;
}

// Characters of text up to limit, or npos when it has no more than that.
std::size_t CutAt(const std::string& text, std::size_t limit)
{
    std::size_t at = 0;
    for (std::size_t count = 0; at < text.size(); ++count)
    {
        if (count == limit)
        {
            return at;
        }
        unsigned code = 0;
        const std::size_t length = Utf8Sequence(text, at, code);
        at += length == 0 ? 1 : length;
    }
    return std::string::npos;
}
} // namespace

std::string EscapeControls(const std::string& text)
{
    std::string safe;
    safe.reserve(text.size());
    char escaped[8];
    for (std::size_t at = 0; at < text.size();)
    {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte >= 0x20 && byte < 0x7F)
        {
            safe += text[at++];
            continue;
        }
        unsigned code = 0;
        const std::size_t length = byte < 0x80 ? 0 : Utf8Sequence(text, at, code);
        if (length == 0)
        {
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            safe += escaped;
            ++at;
        }
        else if (code <= 0x9F) // C1 controls: CSI and friends on some terminals
        {
            std::snprintf(escaped, sizeof escaped, "\\u%04x", code);
            safe += escaped;
            at += length;
        }
        else
        {
            safe.append(text, at, length);
            at += length;
        }
    }
    return safe;
}

std::string QuoteValue(const std::string& text, std::size_t limit)
{
    const std::size_t cut = CutAt(text, limit);
    if (cut == std::string::npos)
    {
        return EscapeControls(text);
    }
    return EscapeControls(text.substr(0, cut)) + "...";
}

std::string NarrowDeviceText(const wchar_t* text)
{
    std::string narrow;
    for (; text && *text; ++text)
    {
        narrow += (*text >= 0x20 && *text < 0x7F) ? static_cast<char>(*text) : '?';
    }
    return narrow;
}
