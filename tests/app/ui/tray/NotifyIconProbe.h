#pragma once

#include <windows.h>

// Asks the shell about the program's notification-area record (window + id 109). A modify with
// no fields set succeeds exactly when the shell holds such a record.
bool TrayRecordExists(HWND window);
// Deletes the record behind the program's back, as a restarting shell does.
bool DeleteTrayRecord(HWND window);
