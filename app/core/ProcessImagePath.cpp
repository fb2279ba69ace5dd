#include "app/core/ProcessImagePath.h"

#include <vector>

namespace
{
// Windows paths are at most 32,767 characters long.
constexpr DWORD kMaxPath = 32768;

std::wstring LongForm(const std::wstring& path)
{
    std::vector<wchar_t> buffer(kMaxPath, L'\0');
    const DWORD length = GetLongPathNameW(path.c_str(), buffer.data(), kMaxPath);
    if (length == 0 || length >= kMaxPath)
        return path;
    return std::wstring(buffer.data(), length);
}
} // namespace

std::wstring ProcessImagePath(HANDLE process, DWORD& error)
{
    std::vector<wchar_t> buffer(kMaxPath, L'\0');
    DWORD length = kMaxPath;
    if (!QueryFullProcessImageNameW(process, 0, buffer.data(), &length))
    {
        error = GetLastError();
        return std::wstring();
    }
    error = ERROR_SUCCESS;
    return std::wstring(buffer.data(), length);
}

bool SameFilePath(const std::wstring& first, const std::wstring& second)
{
    const std::wstring a = LongForm(first);
    const std::wstring b = LongForm(second);
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}
