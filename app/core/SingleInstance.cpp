#include "app/core/SingleInstance.h"

#include "app/core/ProgramTitle.h"

#include <windows.h>

bool ClaimSingleInstance()
{
    HANDLE mutex = CreateMutexW(nullptr, TRUE, kProgramTitle);
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS)
    {
        CloseHandle(mutex);
        return false;
    }
    return true;
}

bool BringRunningCopyToFront()
{
    for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); IsWindow(window);
         window = GetWindow(window, GW_HWNDNEXT))
    {
        if (!GetPropW(window, kProgramTitle))
            continue;
        SetForegroundWindow(window);
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        BringWindowToTop(window);
        return true;
    }
    return false;
}

InstanceClaim ClaimOrHandOver(DWORD waitMs)
{
    constexpr DWORD kRetryMs = 250;
    const ULONGLONG deadline = GetTickCount64() + waitMs;
    for (;;)
    {
        if (ClaimSingleInstance())
            return InstanceClaim::First;
        if (BringRunningCopyToFront())
            return InstanceClaim::BroughtToFront;
        if (GetTickCount64() >= deadline)
            return InstanceClaim::HeldWithoutWindow;
        Sleep(kRetryMs);
    }
}
