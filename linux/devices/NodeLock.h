#pragma once

#include "linux/platform/UniqueFd.h"

#include <string>
#include <sys/types.h>

// An advisory flock on a display's device node, held while this daemon feeds it, so no two
// daemons (the service and a user's, or two of either) ever write to one display. hidapi opens the
// node on its own, so the lock has a descriptor of its own on the same node.
class NodeLock
{
public:
    enum class Outcome
    {
        Locked,
        Busy,   // another daemon holds it
        Failed, // the node could not be opened: errno says why
    };

    Outcome Take(const std::string& path);
    // True when the node at the path is no longer the one locked: the kernel removed the display
    // and added it again under the same name (after a suspend, for instance).
    bool Replaced(const std::string& path) const;

private:
    UniqueFd m_fd;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};
