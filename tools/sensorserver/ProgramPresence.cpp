#include "tools/sensorserver/ProgramPresence.h"

bool ProgramPresence::Wanted()
{
    if (HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"Tarvik Kelvane"))
    {
        CloseHandle(mutex);
        m_lastSeen = GetTickCount();
        return true;
    }
    return GetTickCount() - m_lastSeen < kGraceMs;
}

bool ProgramPresence::Hold(DWORD ms)
{
    constexpr DWORD kSlice = 500;
    for (DWORD slept = 0; slept < ms;)
    {
        if (!Wanted())
            return false;
        const DWORD step = ms - slept < kSlice ? ms - slept : kSlice;
        Sleep(step);
        slept += step;
    }
    return Wanted();
}
