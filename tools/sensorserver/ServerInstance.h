#pragma once
#include <windows.h>

namespace thermivox
{
// Claim on being the only running server. The program's watch may start a server on every tick
// while no readings arrive; only the first copy stays, later ones leave. The claim is a named
// mutex the server owns for its whole life; a server that dies abandons it, so the next one can
// take over.
class ServerInstance
{
public:
    static constexpr const wchar_t* kMutexName = L"ThermivoxServer single instance";
    // Exit code of a copy that found another server running.
    static constexpr int kAlreadyRunningExitCode = 3;
    // The program ends the old server and starts a new one right after, without waiting for the
    // old one to be gone; a copy waits this long for a dying server's claim.
    static constexpr DWORD kHandoverWaitMs = 2000;

    ServerInstance();
    ~ServerInstance();
    ServerInstance(const ServerInstance&) = delete;
    ServerInstance& operator=(const ServerInstance&) = delete;

    // False when another server holds the claim.
    bool IsOnlyOne() const { return m_onlyOne; }

private:
    HANDLE m_mutex = nullptr;
    bool m_onlyOne = false;
};
} // namespace thermivox
