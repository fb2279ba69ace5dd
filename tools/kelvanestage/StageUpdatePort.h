#pragma once

#include <windows.h>

#include <cwchar>

// The port of 127.0.0.1 where the staged program looks for its update server: lane 1's (the build's
// TK_LANE_PORT_BASE + 1), or TK_STAGE_UPDATE_PORT where test lanes run programs side by side, each
// lane with its own server.
inline unsigned short StageUpdatePort()
{
    wchar_t text[16] = {};
    const DWORD length = GetEnvironmentVariableW(L"TK_STAGE_UPDATE_PORT", text, 16);
    const unsigned long port = length > 0 && length < 16 ? std::wcstoul(text, nullptr, 10) : 0;
    return port > 0 && port < 65536 ? static_cast<unsigned short>(port) : TK_LANE_PORT_BASE + 1;
}
