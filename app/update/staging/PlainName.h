#pragma once

#include <string>

// Names the file system takes as written, for the names an update writes: the archive's file in the
// staging folder and every part of an entry's path. Pure text rules.

// True when one part of a path names a file or folder of just that name: not only dots and spaces
// (Windows drops trailing ones, so "..." or ". ." may act as ".."), and no device ("nul.txt", "COM1").
bool IsPlainPathPart(const std::wstring& part);

// True for one part as above that holds no separator and no ':'.
bool IsPlainFileName(const std::wstring& name);
