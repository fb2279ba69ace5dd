#pragma once
#include <string>

namespace thermivox
{
// One set of values the server publishes. Liveness 0 tells the program that no readings are
// delivered (nothing is invented when the system offers no sensor).
struct Readings
{
    float cpu = 0.0f;
    float liveness = 0.0f;
    std::string gpuName[2];
    float gpu[2] = {0.0f, 0.0f};
};
} // namespace thermivox
