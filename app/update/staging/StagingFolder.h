#pragma once

#include "app/platform/KernelHandle.h"

#include <list>
#include <string>

// A fresh folder for one update under "<data folder>\Tarvik Kelvane\Updates\", where only Administrators
// and SYSTEM may write, with no link anywhere on its path. The data folder is %ProgramData% unless a test
// names its own. While the object lives, the folder and every folder above it are held open, so none of
// them can be renamed or swapped. The folder stays when the object goes (the installer runs from it);
// Remove deletes it, and RemoveLeftoverStagingFolders clears what earlier runs left.
class StagingFolder
{
public:
    static bool Create(StagingFolder& out);
    static bool CreateBelow(const std::wstring& dataFolder, StagingFolder& out);

    // Ends with a backslash; empty until created.
    const std::wstring& Path() const { return m_path; }

    // A new file of that plain name in the folder, read and write access, no sharing. No handle when the
    // name is taken (a planted file or link is never opened), is not a plain file name, or the file
    // created is not a plain file at that path.
    KernelHandle CreateNewFile(const std::wstring& name) const;

    // Deletes the folder and its contents without following links. Handles from CreateNewFile must be
    // closed first: they allow no sharing, so their files could not go.
    void Remove();

private:
    std::wstring m_path;
    std::list<KernelHandle> m_held; // the folder and every folder above it
};

// "<data folder>\Tarvik Kelvane\Updates\".
std::wstring StagingRootBelow(const std::wstring& dataFolder);

// Removes everything under the staging root of %ProgramData% (or of the given data folder), never
// following links. Meant for program start, before any update can be running.
void RemoveLeftoverStagingFolders();
void RemoveLeftoverStagingFoldersBelow(const std::wstring& dataFolder);
