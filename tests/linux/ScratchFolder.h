#pragma once

#include <string>

// A throw-away folder for one test: fake sysfs trees shaped like the kernel drivers' own, config
// and status files. Removed with everything in it when the test ends.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Root() const { return m_root; }
    std::string Path(const std::string& relative) const { return m_root + "/" + relative; }

    // Writes relative (making its folders) with text; the kernel ends its values with a line end.
    void Write(const std::string& relative, const std::string& text) const;
    // The whole file; empty when it cannot be read.
    std::string Read(const std::string& relative) const;

private:
    std::string m_root;
};

// True when part occurs in text: what most checks of the programs' output ask.
bool Has(const std::string& text, const std::string& part);
