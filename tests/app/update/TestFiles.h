#pragma once

#include <map>
#include <string>
#include <vector>

// A fresh folder below the system's temp folder, removed with everything in it (read-only files too).
class TestFolder
{
public:
    explicit TestFolder(const std::wstring& name);
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // Ends with a backslash.
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

void RemoveTree(const std::wstring& folder);

// Every file and folder below folder: relative path -> content, or "<dir>" for folders.
std::map<std::wstring, std::string> ReadTree(const std::wstring& folder);

std::string ReadFileBytes(const std::wstring& path);
// The file's lines, without their line ends, that contain part (all of them for an empty part).
std::vector<std::string> FileLines(const std::wstring& path, const std::string& part = "");
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool PathExists(const std::wstring& path);

// A symbolic link the file system follows, planted the way the platform allows: CreateSymbolicLinkW where
// it makes one, otherwise (Wine, where that call makes nothing) a Unix link made with /bin/ln, which
// Windows programs there follow as a link. Removed as a link, by the same means, when the object goes.
class TestLink
{
public:
    TestLink(const std::wstring& target, const std::wstring& link, bool folder);
    ~TestLink();
    TestLink(const TestLink&) = delete;
    TestLink& operator=(const TestLink&) = delete;

    bool Made() const { return m_made; }

private:
    std::wstring m_link;
    bool m_folder;
    bool m_unix = false;
    bool m_made = false;
};
