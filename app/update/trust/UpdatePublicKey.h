#pragma once

#include <string>

// The Ed25519 key update signatures are checked against, as 64 hex digits; empty when the build has
// none (updates are then switched off). Fixed when the program is built (CMake cache variable
// TK_UPDATE_PUBLIC_KEY). Kept alone in its source file so test builds and the staged program can
// link the build folder's own key pair instead.
std::string UpdatePublicKeyHex();
