#include "app/update/VersionText.h"

#include <vector>

namespace
{
std::vector<std::wstring> SplitAtDots(const std::wstring& text)
{
    std::vector<std::wstring> parts;
    std::wstring::size_type start = 0;
    for (;;)
    {
        const auto dot = text.find(L'.', start);
        if (dot == std::wstring::npos)
        {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, dot - start));
        start = dot + 1;
    }
}

bool IsSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}
} // namespace

long long ReadDecimal(const std::wstring& text)
{
    constexpr long long limit = 1000000000000000000LL;
    std::wstring::size_type i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
    {
        negative = text[i] == L'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
    {
        if (value < limit)
            value = value * 10 + (text[i] - L'0');
    }
    return negative ? -value : value;
}

int CompareVersions(const std::wstring& current, const std::wstring& latest)
{
    const auto currentParts = SplitAtDots(current);
    const auto latestParts = SplitAtDots(latest);
    if (currentParts.size() != latestParts.size())
        return 2;
    for (std::size_t i = 0; i < currentParts.size(); ++i)
    {
        const long long c = ReadDecimal(currentParts[i]);
        const long long l = ReadDecimal(latestParts[i]);
        if (c > l)
            return -1;
        if (c < l)
            return 1;
    }
    return 0;
}

std::wstring TrimLineBreaks(const std::wstring& text)
{
    auto end = text.size();
    while (end > 0 && (text[end - 1] == L'\r' || text[end - 1] == L'\n'))
        --end;
    return text.substr(0, end);
}

bool IsUsableVersionText(const std::wstring& text)
{
    if (text.empty() || text.size() > 10)
        return false;
    for (const wchar_t c : text)
    {
        const bool safe = (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') ||
                          c == L'.' || c == L'-' || c == L'_';
        if (!safe)
            return false;
    }
    return true;
}

std::wstring FirmwareVersionText(int version)
{
    static const wchar_t digits[] = L"0123456789abcdef";
    auto value = static_cast<unsigned int>(version);
    std::wstring text;
    do
    {
        text.insert(text.begin(), digits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return text;
}

bool IsFirmwareUpdateAvailable(int displayVersion, const std::wstring& latest)
{
    return displayVersion >= 0 && ReadDecimal(latest) > ReadDecimal(FirmwareVersionText(displayVersion));
}
