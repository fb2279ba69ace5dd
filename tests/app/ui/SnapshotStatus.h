#pragma once
#include <string>

// What the stand-in sensor server's status record in the shared block says, read from outside.
struct SnapshotStatus
{
    bool present = false;
    unsigned launches = 0; // server starts so far
    unsigned refused = 0;  // starts refused because a server already ran
    std::string folder;    // folder of the last server started
    float liveness = 0.0f;
};

SnapshotStatus ReadSnapshotStatus();
