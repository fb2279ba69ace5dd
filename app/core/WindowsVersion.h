#pragma once

// Whether the kernel reports major version 10 or higher (Windows 10 and 11). Asks ntdll directly,
// so the answer does not depend on the program's compatibility manifest. On failure a line goes
// to standard error and the answer is false.
bool IsWindows10OrLater();
