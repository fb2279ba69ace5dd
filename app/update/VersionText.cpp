#include "app/update/VersionText.h"

std::optional<VersionNumber> ParseVersion(const std::wstring& text)
{
    VersionNumber version;
    std::size_t part = 0;
    std::size_t digits = 0;
    unsigned long value = 0;
    for (std::size_t i = 0; i <= text.size(); ++i)
    {
        const wchar_t c = i < text.size() ? text[i] : L'.';
        if (c == L'.')
        {
            // An empty part, or a fifth one.
            if (digits == 0 || part == version.parts.size())
                return std::nullopt;
            version.parts[part++] = static_cast<std::uint16_t>(value);
            digits = 0;
            value = 0;
            continue;
        }
        if (c < L'0' || c > L'9' || (digits == 1 && value == 0))
            return std::nullopt;
        value = value * 10 + static_cast<unsigned long>(c - L'0');
        if (++digits > 5 || value > 0xFFFF)
            return std::nullopt;
    }
    return version;
}

int CompareVersions(const VersionNumber& a, const VersionNumber& b)
{
    for (std::size_t i = 0; i < a.parts.size(); ++i)
    {
        if (a.parts[i] != b.parts[i])
            return a.parts[i] < b.parts[i] ? -1 : 1;
    }
    return 0;
}

bool IsNewerVersion(const std::wstring& installed, const std::wstring& offered)
{
    const auto a = ParseVersion(installed);
    const auto b = ParseVersion(offered);
    return a && b && CompareVersions(*a, *b) < 0;
}

std::wstring TrimLineBreaks(const std::wstring& text)
{
    auto end = text.size();
    while (end > 0 && (text[end - 1] == L'\r' || text[end - 1] == L'\n'))
        --end;
    return text.substr(0, end);
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
    return displayVersion >= 0 && IsNewerVersion(FirmwareVersionText(displayVersion), latest);
}
