#include "app/update/staging/StagingFolder.h"

#include "app/update/staging/PlainPath.h"
#include "app/update/staging/StagingFolderSecurity.h"
#include "app/update/staging/PlainName.h"

#include <objbase.h>
#include <shlobj.h>

namespace
{
constexpr wchar_t kProgramFolder[] = L"Tarvik Kelvane";
constexpr wchar_t kUpdatesFolder[] = L"Updates";

std::wstring WithSeparator(std::wstring path)
{
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/')
        path += L'\\';
    return path;
}

std::wstring CommonDataFolder()
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
        return {};
    return path;
}

// A folder of the staging root: made with the protected list, or, when it was there already, given it
// again, since whoever made it first may have left it open to others.
bool EnsureProtectedFolder(const std::wstring& path, StagingFolderSecurity& security,
                           std::list<KernelHandle>& held)
{
    const bool created = CreateDirectoryW(path.c_str(), security.Attributes()) != FALSE;
    if (!created && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    KernelHandle folder;
    if (!OpenPlainFolder(path, folder, READ_CONTROL | WRITE_DAC | WRITE_OWNER))
        return false;
    if (!created && !security.ApplyTo(folder.get()))
        return false;
    held.push_back(std::move(folder));
    return true;
}

std::wstring UniqueName()
{
    GUID guid = {};
    wchar_t text[40] = {};
    if (FAILED(CoCreateGuid(&guid)) || StringFromGUID2(guid, text, 40) == 0)
        return {};
    return text;
}
} // namespace

std::wstring StagingRootBelow(const std::wstring& dataFolder)
{
    return WithSeparator(dataFolder) + kProgramFolder + L"\\" + kUpdatesFolder + L"\\";
}

bool StagingFolder::Create(StagingFolder& out)
{
    const std::wstring data = CommonDataFolder();
    return !data.empty() && CreateBelow(data, out);
}

bool StagingFolder::CreateBelow(const std::wstring& dataFolder, StagingFolder& out)
{
    out.m_path.clear();
    out.m_held.clear();
    StagingFolderSecurity security;
    const std::wstring data = NormalisedPath(dataFolder);
    const std::wstring name = UniqueName();
    if (!security.IsValid() || data.empty() || name.empty())
        return false;

    std::list<KernelHandle> held;
    const std::wstring program = WithSeparator(data) + kProgramFolder;
    const std::wstring updates = program + L"\\" + kUpdatesFolder;
    const std::wstring folder = updates + L"\\" + name;
    // A folder of that name already there was not made for this update: refuse rather than reuse.
    if (!OpenPlainFolderChain(data, held) || !EnsureProtectedFolder(program, security, held) ||
        !EnsureProtectedFolder(updates, security, held) ||
        !CreateDirectoryW(folder.c_str(), security.Attributes()))
        return false;
    KernelHandle own;
    if (!OpenPlainFolder(folder, own))
        return false;
    held.push_back(std::move(own));
    out.m_path = folder + L"\\";
    out.m_held = std::move(held);
    return true;
}

KernelHandle StagingFolder::CreateNewFile(const std::wstring& name) const
{
    if (m_path.empty() || !IsPlainFileName(name))
        return KernelHandle();
    KernelHandle file;
    CreateNewPlainFile(m_path + name, GENERIC_READ | GENERIC_WRITE, FILE_ATTRIBUTE_NORMAL, file);
    return file;
}

void StagingFolder::Remove()
{
    if (m_path.empty())
        return;
    m_held.clear();
    RemoveTreeWithoutFollowingLinks(m_path);
    m_path.clear();
}

void RemoveLeftoverStagingFolders()
{
    const std::wstring data = CommonDataFolder();
    if (!data.empty())
        RemoveLeftoverStagingFoldersBelow(data);
}

void RemoveLeftoverStagingFoldersBelow(const std::wstring& dataFolder)
{
    const std::wstring root = StagingRootBelow(dataFolder);
    std::list<KernelHandle> held;
    // A root that is missing, or reached through a link, is not ours to clear.
    if (!OpenPlainFolderChain(root, held))
        return;
    RemoveContentsWithoutFollowingLinks(root);
}
