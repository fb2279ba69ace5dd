#pragma once

#include <string>

// Scheme and host of the update server, without a trailing slash. Fixed when the program is built
// (CMake cache variable TK_UPDATE_HOST), so each vendor building the program points it at its own server.
// Kept alone in its source file so a test build can link its own definition instead.
std::wstring UpdateServerHost();
