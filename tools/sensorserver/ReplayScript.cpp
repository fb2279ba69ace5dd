#include "tools/sensorserver/ReplayScript.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace thermivox
{
namespace
{
bool ParseFloat(const std::string& text, float& out)
{
    if (text.empty())
        return false;
    if (text == "nan")
    {
        out = std::nanf("");
        return true;
    }
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(value))
        return false;
    out = static_cast<float>(value);
    return true;
}

bool ParseHold(const std::string& text, unsigned& out)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 7)
        return false;
    out = static_cast<unsigned>(std::stoul(text));
    return out > 0;
}

// Names are one word; '_' stands for a space and '-' for "no GPU in this slot".
std::string DecodeName(const std::string& text)
{
    if (text == "-")
        return std::string();
    std::string name = text;
    for (char& c : name)
        if (c == '_')
            c = ' ';
    return name.substr(0, 135);
}

bool ApplyWord(const std::string& word, ReplayStep& step)
{
    const std::size_t eq = word.find('=');
    if (eq == std::string::npos)
        return false;
    const std::string key = word.substr(0, eq);
    const std::string value = word.substr(eq + 1);
    if (key == "cpu")
        return ParseFloat(value, step.readings.cpu);
    if (key == "live")
        return ParseFloat(value, step.readings.liveness);
    if (key == "gpu1")
        return ParseFloat(value, step.readings.gpu[0]);
    if (key == "gpu2")
        return ParseFloat(value, step.readings.gpu[1]);
    if (key == "gpu1name" || key == "gpu2name")
    {
        step.readings.gpuName[key[3] - '1'] = DecodeName(value);
        return true;
    }
    if (key == "ms")
        return ParseHold(value, step.holdMs);
    return false;
}
} // namespace

ReplayScript ReplayScript::Parse(const std::string& text)
{
    ReplayScript script;
    ReplayStep previous;
    previous.readings.liveness = 1.0f; // a replayed reading is a delivered reading unless told
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line))
    {
        ++number;
        const std::size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        std::istringstream words(line);
        std::string word;
        ReplayStep step = previous;
        step.holdMs = 1000;
        bool any = false;
        bool ok = true;
        while (words >> word)
        {
            any = true;
            if (!ApplyWord(word, step))
            {
                script.m_errors.push_back("line " + std::to_string(number) + ": bad word \"" + word + "\"");
                ok = false;
                break;
            }
        }
        if (!any || !ok)
            continue;
        script.m_steps.push_back(step);
        previous = step;
    }
    return script;
}
} // namespace thermivox
