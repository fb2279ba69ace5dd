#pragma once

#include "app/platform/KernelHandle.h"

#include <list>
#include <string>

// Checks made on what is actually opened, so a folder or file swapped for a link (junction, symbolic link,
// mount point, or a link the file system does not flag as one) is refused rather than followed. A part
// counts as plain when its handle carries no reparse point and the file system's own final path for the
// handle is the path that was asked for.

// The full, long form of a path without a trailing separator (except a drive root).
std::wstring NormalisedPath(const std::wstring& path);

// True when the open handle stands for exactly this path and is no reparse point.
bool IsHandleAtPath(HANDLE handle, const std::wstring& path);

// Opens an existing plain folder. The handle refuses deletion and renaming by others while it is held.
bool OpenPlainFolder(const std::wstring& path, KernelHandle& folder, DWORD access = FILE_READ_ATTRIBUTES);

// Opens every folder from the drive root down to path, each one plain, and keeps them in held.
bool OpenPlainFolderChain(const std::wstring& path, std::list<KernelHandle>& held);

// Creates a file that did not exist (a planted name fails) and checks the handle: one link, no reparse
// point, at this path. A file that fails the check after creation is left alone, never written.
bool CreateNewPlainFile(const std::wstring& path, DWORD access, DWORD attributes, KernelHandle& file);

// Deletes a plain file (read-only too) through the handle that was checked, so what is deleted is what
// was looked at; a link is removed only as a link, never through it.
bool RemovePlainFile(const std::wstring& path);

// Deletes everything inside a plain folder, by the rules below. True when all of it went.
bool RemoveContentsWithoutFollowingLinks(const std::wstring& folder);

// Deletes a folder and everything in it. Links are never followed: a link found is removed as a link
// where the system allows it and otherwise left in place; its target is not touched. True when the
// folder is gone.
bool RemoveTreeWithoutFollowingLinks(const std::wstring& folder);
