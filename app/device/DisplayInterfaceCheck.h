#pragma once

// True when the HID interface at path is a display's vendor collection (usage page 0xFF01, usage
// 1). A path that cannot be opened, or whose report descriptor cannot be read, is not one.
bool CheckDisplayInterface(const wchar_t* path);
