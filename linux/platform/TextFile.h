#pragma once

#include <cstddef>
#include <string>
#include <sys/stat.h>

// Every function returns false with a message naming the path and the system's reason.

constexpr std::size_t kMaxTextFileBytes = 64 * 1024;

// Small kernel files (sysfs attributes): whatever the file holds, up to kMaxTextFileBytes.
bool ReadTextFile(const std::string& path, std::string& text, std::string& error, int* errorNumber = nullptr);

// A file someone else may have planted or swapped: read only when it is a regular file of at most
// maxBytes, opened without following a final symbolic link and without blocking (a FIFO is
// refused, not waited on). info receives the file's owner and mode.
bool ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& text, std::string& error,
                     int* errorNumber = nullptr, struct stat* info = nullptr);

// Atomic replacement: a new file under a fresh name in the target's own folder (created with
// O_EXCL|O_NOFOLLOW, so no planted link is followed), given mode, synced, then renamed over path,
// so a reader sees the old or the new file, never half of one.
bool ReplaceTextFile(const std::string& path, const std::string& text, unsigned mode, std::string& error,
                     int* errorNumber = nullptr);
