#pragma once

#include "linux/platform/UniqueFd.h"

#include <string>

// One daemon per instance: an flock on the lock file in the runtime folder, held for the daemon's
// life (the kernel lets it go when the process ends, however it ends). The holder's pid is written
// into the file so a second start can name it. The file is never removed: removing it would let a
// third daemon lock a new file while the first still holds the old one.
class InstanceLock
{
public:
    enum class Outcome
    {
        Held,
        Busy,   // another daemon holds it; see HolderPid()
        Failed, // see the error
    };

    Outcome Take(const std::string& path, std::string& error);
    long HolderPid() const { return m_holder; }

    // Whether another daemon holds the lock at path (for a user daemon: the service's), without
    // taking it; the holder's pid, 0 when unknown.
    static bool IsHeld(const std::string& path, long& holder);

private:
    UniqueFd m_fd;
    long m_holder = 0;
};

// The runtime folder: created (with mode) when missing; refused unless it is a real folder owned by
// this user (or root) that nobody else may write to, since the status is written there.
bool PrepareRuntimeFolder(const std::string& folder, unsigned mode, std::string& error);
