#include "tests/linux/ScratchFolder.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

ScratchFolder::ScratchFolder()
{
    char pattern[] = "/tmp/kelvane-test-XXXXXX";
    m_root = mkdtemp(pattern);
}

// Best effort: a folder left behind in /tmp fails no test.
ScratchFolder::~ScratchFolder()
{
    static_cast<void>(std::system(("rm -rf '" + m_root + "'").c_str()) == 0);
}

void ScratchFolder::Write(const std::string& relative, const std::string& text) const
{
    const std::string path = Path(relative);
    for (std::size_t slash = m_root.size() + 1; (slash = path.find('/', slash)) != std::string::npos; ++slash)
    {
        mkdir(path.substr(0, slash).c_str(), 0755);
    }
    std::ofstream(path) << text;
}

std::string ScratchFolder::Read(const std::string& relative) const
{
    std::ifstream file(Path(relative));
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}
