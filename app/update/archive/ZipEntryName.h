#pragma once

#include <optional>
#include <string>

// The path an archive entry is written to, relative to the extraction folder, with backslash separators.
// A trailing backslash marks a folder entry. Drive prefixes and leading separators are dropped and
// everything up to an inner "..\" is cut away, repeatedly; a name that still climbs out of the folder
// (or names nothing, a device such as "NUL" or "COM¹", or holds a ':') gives no path at all, and the
// archive is refused.
std::optional<std::wstring> SafeZipEntryPath(std::wstring name);
