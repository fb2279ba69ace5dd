#pragma once
#include <windows.h>

namespace thermivox
{
// Claim on being the only running server. The program's watch may start a server on every tick
// while no readings arrive; only the first copy stays, later ones leave at once. The named mutex
// goes with the process, so a server that died can be started again.
class ServerInstance
{
public:
    static constexpr const wchar_t* kMutexName = L"ThermivoxServer single instance";
    // Exit code of a copy that found another server running.
    static constexpr int kAlreadyRunningExitCode = 3;

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
