#include "app/update/staging/ExtractedItems.h"

#include "app/update/staging/PlainPath.h"

namespace
{
std::wstring Upper(std::wstring text)
{
    if (!text.empty())
        CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}
} // namespace

ExtractedItems::~ExtractedItems()
{
    m_held.clear();
    if (m_keep)
        return;
    for (auto file = m_files.rbegin(); file != m_files.rend(); ++file)
        RemovePlainFile(*file);
    for (auto folder = m_folders.rbegin(); folder != m_folders.rend(); ++folder)
        RemoveDirectoryW(folder->c_str());
}

bool ExtractedItems::EnsureFolders(const std::wstring& base, const std::wstring& relative)
{
    for (std::size_t slash = relative.find(L'\\'); slash != std::wstring::npos;
         slash = relative.find(L'\\', slash + 1))
    {
        if (!EnsureFolder(base + relative.substr(0, slash)))
            return false;
    }
    return relative.empty() || relative.back() == L'\\' || EnsureFolder(base + relative);
}

bool ExtractedItems::EnsureFolder(const std::wstring& path)
{
    const std::wstring key = Upper(path);
    if (m_checked.count(key) != 0)
        return true;
    if (CreateDirectoryW(path.c_str(), nullptr))
        m_folders.push_back(path);
    else if (GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    KernelHandle folder;
    if (!OpenPlainFolder(path, folder))
        return false;
    m_held.push_back(std::move(folder));
    m_checked.insert(key);
    return true;
}
