#include "app/update/staging/PlainName.h"

namespace
{
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

bool IsPlainPathPart(const std::wstring& part)
{
    return !IsOnlyDotsAndSpaces(part) && !IsDeviceName(part);
}

bool IsPlainFileName(const std::wstring& name)
{
    return name.find_first_of(L":\\/") == std::wstring::npos && IsPlainPathPart(name);
}
