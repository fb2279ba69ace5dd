#pragma once

#include <map>
#include <string>

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
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool PathExists(const std::wstring& path);
