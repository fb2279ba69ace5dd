#include "app/update/staging/PlainPath.h"

#include "base/UniqueHandle.h"

#include <vector>

namespace
{
constexpr DWORD kFolderFlags = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;
// Read-data access takes part in sharing checks, so a held folder cannot be renamed or deleted.
constexpr DWORD kHoldAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE;

// A directory search, ended with FindClose; FindFirstFileW reports failure as INVALID_HANDLE_VALUE.
struct FindHandleTraits
{
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Release(Handle handle) noexcept { FindClose(handle); }
};
using FindHandle = UniqueHandle<FindHandleTraits>;

std::wstring CallWithBuffer(DWORD (*call)(const std::wstring&, wchar_t*, DWORD), const std::wstring& in)
{
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        const DWORD length = call(in, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);
    }
    return {};
}

std::wstring WithoutTrailingSeparator(std::wstring path)
{
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    return path;
}

std::wstring FinalPathOf(HANDLE handle)
{
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    DWORD length = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length >= buffer.size())
    {
        buffer.resize(length + 1);
        length = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    }
    if (length == 0 || length >= buffer.size())
        return {};
    std::wstring path(buffer.data(), length);
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        path = L"\\\\" + path.substr(8);
    else if (path.compare(0, 4, L"\\\\?\\") == 0)
        path.erase(0, 4);
    return WithoutTrailingSeparator(path);
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return !a.empty() && CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// A link the system itself names as one; only these can be removed without touching their target.
bool RemoveFlaggedLink(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return false;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return RemoveDirectoryW(path.c_str()) != FALSE;
    return DeleteFileW(path.c_str()) != FALSE;
}

} // namespace

std::wstring NormalisedPath(const std::wstring& path)
{
    std::wstring full = CallWithBuffer([](const std::wstring& in, wchar_t* out, DWORD size)
                                       { return GetFullPathNameW(in.c_str(), size, out, nullptr); },
                                       path);
    if (full.empty())
        return {};
    const std::wstring longForm = CallWithBuffer([](const std::wstring& in, wchar_t* out, DWORD size)
                                                 { return GetLongPathNameW(in.c_str(), out, size); },
                                                 full);
    return WithoutTrailingSeparator(longForm.empty() ? full : longForm);
}

bool IsHandleAtPath(HANDLE handle, const std::wstring& path)
{
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return false;
    // Some file systems follow a link even when asked not to and flag nothing: the final path tells.
    return SamePath(FinalPathOf(handle), NormalisedPath(path));
}

bool OpenPlainFolder(const std::wstring& path, KernelHandle& folder, DWORD access)
{
    folder.reset();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return false;
    KernelHandle opened(CreateFileW(path.c_str(), access | kHoldAccess, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, kFolderFlags, nullptr));
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!opened || !GetFileInformationByHandle(opened.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || !IsHandleAtPath(opened.get(), path))
        return false;
    folder = std::move(opened);
    return true;
}

bool OpenPlainFolderChain(const std::wstring& path, std::list<KernelHandle>& held)
{
    const std::wstring full = NormalisedPath(path);
    if (full.size() < 3 || full[1] != L':' || full[2] != L'\\')
        return false;
    std::vector<std::size_t> ends = {3};
    for (std::size_t slash = full.find(L'\\', 3); slash != std::wstring::npos;
         slash = full.find(L'\\', slash + 1))
        ends.push_back(slash);
    if (full.size() > 3)
        ends.push_back(full.size());
    for (const std::size_t end : ends)
    {
        KernelHandle part;
        if (!OpenPlainFolder(full.substr(0, end), part))
            return false;
        held.push_back(std::move(part));
    }
    return true;
}

bool CreateNewPlainFile(const std::wstring& path, DWORD access, DWORD attributes, KernelHandle& file)
{
    file.reset();
    KernelHandle created(CreateFileW(path.c_str(), access | FILE_READ_ATTRIBUTES, 0, nullptr, CREATE_NEW,
                                     attributes | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info = {};
    // A second name for the same data would let writes show up somewhere else.
    if (!created || !GetFileInformationByHandle(created.get(), &info) || info.nNumberOfLinks != 1 ||
        !IsHandleAtPath(created.get(), path))
        return false;
    file = std::move(created);
    return true;
}

bool RemovePlainFile(const std::wstring& path)
{
    KernelHandle file(CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file)
        return false;
    if (!IsHandleAtPath(file.get(), path))
    {
        file.reset();
        return RemoveFlaggedLink(path);
    }
    FILE_BASIC_INFO basic = {};
    if (GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic, sizeof(basic)) &&
        (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0)
    {
        basic.FileAttributes &= ~FILE_ATTRIBUTE_READONLY;
        if (basic.FileAttributes == 0)
            basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof(basic));
    }
    FILE_DISPOSITION_INFO disposition = {TRUE};
    return SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof(disposition)) !=
           FALSE;
}

bool RemoveContentsWithoutFollowingLinks(const std::wstring& folder)
{
    const std::wstring full = NormalisedPath(folder);
    KernelHandle check;
    if (full.empty() || !OpenPlainFolder(full, check))
        return false;
    check.reset();
    bool removedAll = true;
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW((full + L"\\*").c_str(), &data));
    if (!find)
        return true;
    do
    {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring child = full + L"\\" + name;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
            removedAll = RemoveFlaggedLink(child) && removedAll;
        else if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            removedAll = RemoveTreeWithoutFollowingLinks(child) && removedAll;
        else
            removedAll = RemovePlainFile(child) && removedAll;
    } while (FindNextFileW(find.get(), &data));
    return removedAll;
}

bool RemoveTreeWithoutFollowingLinks(const std::wstring& folder)
{
    const std::wstring full = NormalisedPath(folder);
    if (full.empty() || GetFileAttributesW(full.c_str()) == INVALID_FILE_ATTRIBUTES)
        return true;
    {
        KernelHandle check;
        if (!OpenPlainFolder(full, check))
            return RemoveFlaggedLink(full);
    }
    RemoveContentsWithoutFollowingLinks(full);
    RemoveDirectoryW(full.c_str());
    return GetFileAttributesW(full.c_str()) == INVALID_FILE_ATTRIBUTES;
}
