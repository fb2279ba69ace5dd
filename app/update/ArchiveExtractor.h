#pragma once

#include <string>

// Unpacks a zip archive into a folder (minizip and zlib). Entries whose names would leave the folder are
// skipped, as is every entry that fails; an entry that fails half-way is removed rather than left
// truncated. True when the archive could be opened, whatever became of its entries.
bool ExtractArchive(const std::wstring& archivePath, const std::wstring& folder);
