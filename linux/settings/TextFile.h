#pragma once

#include <string>

// Whole-file reads and atomic replacement (write a sibling, then rename), so a reader never sees
// half a file. Both return false with a message naming the path and the system's reason.
bool ReadTextFile(const std::string& path, std::string& text, std::string& error, int* errorNumber = nullptr);
bool ReplaceTextFile(const std::string& path, const std::string& text, unsigned mode, std::string& error,
                     int* errorNumber = nullptr);
