#pragma once

// Claims the single-instance mutex named after the program title, created initially owned. The
// handle is deliberately never closed: process exit releases it. False when another copy of the
// program already holds it (that copy's handle is then closed here). A failed creation counts as
// the first copy.
bool ClaimSingleInstance();

// Brings the running copy's main window (the first top-level window in Z order that carries the
// program-title property) to the front, shown normally and topmost. False when none was found.
bool BringRunningCopyToFront();
