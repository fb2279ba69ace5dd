#include "app/update/archive/ZipEntryName.h"

#include "app/update/staging/PlainName.h"

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
        if (!IsPlainPathPart(part))
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
