#pragma once

#include <windows.h>

// How long a transfer may wait. step bounds each connect, send and wait for the next bytes, so a
// stalled server is given up after it; deadline bounds the whole operation, so a server that trickles
// bytes, its status line and headers included, cannot hold the update worker either.
struct HttpTimeLimits
{
    DWORD stepMs = 20000;
    DWORD deadlineMs = 30000;
};
