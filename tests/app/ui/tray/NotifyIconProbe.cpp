#include "tests/app/ui/tray/NotifyIconProbe.h"

#include <shellapi.h>

namespace
{
NOTIFYICONDATAW Record(HWND window)
{
    NOTIFYICONDATAW record = {};
    record.cbSize = sizeof record;
    record.hWnd = window;
    record.uID = 109;
    return record;
}
} // namespace

bool TrayRecordExists(HWND window)
{
    NOTIFYICONDATAW record = Record(window);
    return Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}

bool DeleteTrayRecord(HWND window)
{
    NOTIFYICONDATAW record = Record(window);
    return Shell_NotifyIconW(NIM_DELETE, &record) != FALSE;
}
