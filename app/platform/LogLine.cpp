#include "app/platform/LogLine.h"

#include "app/platform/Utf8.h"

#include <cstdio>
#include <vector>

namespace
{
constexpr char kCut[] = "...";
constexpr std::size_t kCutBytes = sizeof(kCut) - 1;

// Length of the well-formed UTF-8 sequence starting at text[at]; 0 when it is not one (overlong forms,
// surrogates and values above U+10FFFF included).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    else
        return 0;
    if (at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i)
    {
        const unsigned char next = byte(at + i);
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

std::string Hex(const char* format, unsigned value)
{
    char buffer[8] = {};
    std::snprintf(buffer, sizeof(buffer), format, value);
    return buffer;
}

// The escaped form of the character at text[at] (length bytes; 0 for a stray byte).
std::string EscapedCharacter(std::string_view text, std::size_t at, std::size_t length)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    if (length == 0)
        return Hex("\\x%02X", lead);
    if (length == 1)
    {
        switch (lead)
        {
        case '\n':
            return "\\n";
        case '\r':
            return "\\r";
        case '\t':
            return "\\t";
        default:
            return lead < 0x20 || lead == 0x7F ? Hex("\\x%02X", lead)
                                               : std::string(1, static_cast<char>(lead));
        }
    }
    const unsigned second = static_cast<unsigned char>(text[at + 1]);
    if (length == 2 && lead == 0xC2 && second <= 0x9F)
        return Hex("\\u%04X", second);
    if (length == 3 && lead == 0xE2 && second == 0x80)
    {
        const unsigned third = static_cast<unsigned char>(text[at + 2]);
        if (third == 0xA8 || third == 0xA9)
            return Hex("\\u%04X", 0x2000u + (third & 0x3Fu));
    }
    return std::string(text.substr(at, length));
}

std::string Field(std::string_view text, std::size_t maxBytes, const char* ifEmpty)
{
    std::string field = EscapeLogText(text, maxBytes);
    return field.empty() ? ifEmpty : field;
}
} // namespace

std::string FormatLogTime(const LogTime& time)
{
    const int offset = time.offsetMinutes < 0 ? -time.offsetMinutes : time.offsetMinutes;
    char buffer[64] = {};
    std::snprintf(buffer, sizeof(buffer), "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", time.year,
                  time.month, time.day, time.hour, time.minute, time.second, time.millisecond,
                  time.offsetMinutes < 0 ? '-' : '+', offset / 60 % 100, offset % 60);
    return buffer;
}

std::string EscapeLogText(std::string_view text, std::size_t maxBytes)
{
    std::string out;
    std::vector<std::size_t> ends; // where each whole character or escape ends in out
    std::size_t at = 0;
    while (at < text.size())
    {
        const std::size_t length = Utf8SequenceLength(text, at);
        const std::string piece = EscapedCharacter(text, at, length);
        if (out.size() + piece.size() > maxBytes)
            break;
        out += piece;
        ends.push_back(out.size());
        at += length == 0 ? 1 : length;
    }
    if (at == text.size())
        return out;
    // Cut between whole pieces, so that the mark fits.
    while (!ends.empty() && ends.back() + kCutBytes > maxBytes)
        ends.pop_back();
    out.resize(ends.empty() ? 0 : ends.back());
    if (out.size() + kCutBytes <= maxBytes)
        out += kCut;
    return out;
}

std::string FormatLogLine(const LogTime& time, std::string_view thread, std::string_view event,
                          std::string_view details)
{
    std::string line = FormatLogTime(time);
    line += " [";
    line += Field(thread, kMaxLogThreadBytes, "?");
    line += "] ";
    line += Field(event, kMaxLogEventBytes, "?");
    // Room for the separator and the line break.
    const std::size_t room = kMaxLogLineBytes - line.size() - 2;
    if (!details.empty())
    {
        line += ' ';
        line += EscapeLogText(details, room);
    }
    line += '\n';
    return line;
}

std::string LogUtf8(std::wstring_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        unsigned long code = static_cast<unsigned long>(text[i]) & 0xFFFF;
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() &&
            (static_cast<unsigned long>(text[i + 1]) & 0xFC00) == 0xDC00)
        {
            code = 0x10000 + ((code - 0xD800) << 10) + ((static_cast<unsigned long>(text[i + 1]) & 0x3FF));
            ++i;
        }
        else if (code >= 0xD800 && code <= 0xDFFF)
            code = 0xFFFD;
        AppendUtf8(static_cast<char32_t>(code), out);
    }
    return out;
}
