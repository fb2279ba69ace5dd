#pragma once

// What the entry tells the user when start-up meets a problem. The system's message box is
// used: it needs neither GDI+ nor the skin, which may be what failed. Each notice is also
// written to the program log. Window thread only; each returns when the user closed the box.

// Another process holds the single-instance mutex and no window of ours answers.
void TellInstanceHeldWithoutWindow();

// A library of the window thread did not start. library: "GDI+", "COM" or "OLE"; code: the GDI+
// status or the HRESULT; fatal: the program ends instead of running on without it.
void TellLibraryFailed(const char* library, long code, bool fatal);
