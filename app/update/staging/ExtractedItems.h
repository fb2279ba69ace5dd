#pragma once

#include "app/platform/KernelHandle.h"

#include <list>
#include <set>
#include <string>
#include <vector>

// What one extraction has written, so a failure takes all of it back: unless Keep is called, the files
// and then the folders it made are removed when the record goes. Folders are held open (and so cannot
// be swapped for links) while the record lives.
class ExtractedItems
{
public:
    ExtractedItems() = default;
    ~ExtractedItems();
    ExtractedItems(const ExtractedItems&) = delete;
    ExtractedItems& operator=(const ExtractedItems&) = delete;

    // Makes every missing folder of relative (backslash separated) below base, each one checked to be a
    // plain folder, made here or already there.
    bool EnsureFolders(const std::wstring& base, const std::wstring& relative);
    void AddFile(const std::wstring& path) { m_files.push_back(path); }
    void Keep() { m_keep = true; }

private:
    bool EnsureFolder(const std::wstring& path);

    std::vector<std::wstring> m_files;
    std::vector<std::wstring> m_folders; // in the order made
    std::set<std::wstring> m_checked;    // upper-cased paths already checked
    std::list<KernelHandle> m_held;
    bool m_keep = false;
};
