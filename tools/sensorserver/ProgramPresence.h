#pragma once
#include <windows.h>

// Whether the server is still wanted: a copy of the program runs (its single-instance mutex
// exists) or did so within the grace period. The stand-in serves demos and tests; the program's
// tray Exit leaves its server running, and a stand-in left behind would keep a test runner's
// output pipe open for ever.
class ProgramPresence
{
public:
    static constexpr DWORD kGraceMs = 15000;

    bool Wanted();
    // Sleeps ms in short slices; false as soon as the server is no longer wanted.
    bool Hold(DWORD ms);

private:
    DWORD m_lastSeen = GetTickCount();
};
