#pragma once

#include "app/update/trust/UpdateKind.h"

#include <string>

// The build key pair's seed (32 bytes) and a second, unrelated seed.
std::string BuildKeySeed();
std::string OtherKeySeed();

// Signs as a release would, with the secret half of the build folder's update key pair (the key the
// test executables check against).
std::string SignUpdate(UpdateKind kind, const std::wstring& version, const std::string& archive,
                       const std::string& seed = BuildKeySeed());

// The same with a digest already at hand, and with any 32-byte seed.
std::string SignUpdateDigest(UpdateKind kind, const std::wstring& version, const unsigned char (&sha512)[64],
                             const std::string& seed);
