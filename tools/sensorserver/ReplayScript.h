#pragma once
#include "tools/sensorserver/Readings.h"

#include <string>
#include <vector>

namespace thermivox
{
struct ReplayStep
{
    Readings readings;
    unsigned holdMs = 1000;
};

// A replay file: one step per line, "key=value" words, '#' starts a comment. Keys a line leaves
// out keep the previous step's values. Lines with an unknown key or a bad number are skipped
// whole and listed in errors() so a typo never publishes half a step.
class ReplayScript
{
public:
    static ReplayScript Parse(const std::string& text);

    const std::vector<ReplayStep>& steps() const { return m_steps; }
    const std::vector<std::string>& errors() const { return m_errors; }

private:
    std::vector<ReplayStep> m_steps;
    std::vector<std::string> m_errors;
};
} // namespace thermivox
