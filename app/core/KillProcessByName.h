#pragma once

// Ends the first running process whose image file name equals imageName, ignoring letter case.
// Nothing waits for it to go. False only when the process list cannot be taken.
bool KillProcessByName(const wchar_t* imageName);

// True when a process with this image file name runs, ignoring letter case.
bool IsProcessRunning(const wchar_t* imageName);
