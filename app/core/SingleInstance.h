#pragma once

#include <windows.h>

// Claims the single-instance mutex named after the program title, created initially owned. The
// handle is deliberately never closed: process exit releases it. False when another copy of the
// program already holds it (that copy's handle is then closed here). A failed creation counts as
// the first copy.
bool ClaimSingleInstance();

// Brings the running copy's main window (the first top-level window in Z order that carries the
// program-title property) to the front, shown normally and topmost. False when none was found.
bool BringRunningCopyToFront();

enum class InstanceClaim
{
    First,             // the mutex is ours: start
    BroughtToFront,    // the running copy's window was brought to the front: leave
    HeldWithoutWindow, // another process holds the mutex and no window of ours appeared: leave
};

// ClaimSingleInstance; when the mutex is taken, BringRunningCopyToFront. A copy that is still
// starting has no window yet and one that is ending no longer has one, so both are tried again
// for up to waitMs before the mutex counts as held without a window.
InstanceClaim ClaimOrHandOver(DWORD waitMs);
