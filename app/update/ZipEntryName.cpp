#include "app/update/ZipEntryName.h"

#include <vector>

namespace
{
bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// One pass of the rules; true when something was removed.
bool StripOnce(std::wstring& name)
{
    if (name.size() >= 2 && name[1] == L':')
    {
        name.erase(0, 2);
        return true;
    }
    if (!name.empty() && IsSeparator(name[0]))
    {
        name.erase(0, 1);
        return true;
    }
    for (std::size_t i = 0; i + 3 < name.size(); ++i)
    {
        if (IsSeparator(name[i]) && name[i + 1] == L'.' && name[i + 2] == L'.' && IsSeparator(name[i + 3]))
        {
            name.erase(0, i + 4);
            return true;
        }
    }
    return false;
}

// Windows drops trailing dots and spaces from path parts, so "..." or ". ." may act as "..".
bool IsOnlyDotsAndSpaces(const std::wstring& part)
{
    return part.find_first_not_of(L". ") == std::wstring::npos;
}
// "nul.txt" or "COM1" open a device instead of a file.
bool IsDeviceName(const std::wstring& part)
{
    std::wstring stem = part.substr(0, part.find(L'.'));
    while (!stem.empty() && stem.back() == L' ')
        stem.pop_back();
    for (auto& c : stem)
    {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    if (stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL" || stem == L"CONIN$" ||
        stem == L"CONOUT$")
        return true;
    // Windows also takes the superscript digits one to three as port numbers.
    const bool portDigit =
        stem.size() == 4 && ((stem[3] >= L'1' && stem[3] <= L'9') || stem[3] == L'\u00B9' ||
                             stem[3] == L'\u00B2' || stem[3] == L'\u00B3');
    return portDigit && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0);
}
} // namespace

std::optional<std::wstring> SafeZipEntryPath(std::wstring name)
{
    while (StripOnce(name))
    {
    }
    if (name.find(L':') != std::wstring::npos)
        return std::nullopt;

    const bool folder = !name.empty() && IsSeparator(name.back());
    std::vector<std::wstring> parts;
    std::wstring part;
    for (std::size_t i = 0; i <= name.size(); ++i)
    {
        if (i < name.size() && !IsSeparator(name[i]))
        {
            part += name[i];
            continue;
        }
        if (part == L"." || part.empty())
        {
            part.clear();
            continue;
        }
        if (IsOnlyDotsAndSpaces(part) || IsDeviceName(part))
            return std::nullopt;
        parts.push_back(part);
        part.clear();
    }
    if (parts.empty())
        return std::nullopt;

    std::wstring path;
    for (const auto& p : parts)
    {
        if (!path.empty())
            path += L'\\';
        path += p;
    }
    if (folder)
        path += L'\\';
    return path;
}
