#pragma once

#include <cstdio>
#include <string>

// A temporary file that stands in for stderr; Text() returns everything written so far.
class CapturedStream
{
public:
    CapturedStream();
    ~CapturedStream();
    CapturedStream(const CapturedStream&) = delete;
    CapturedStream& operator=(const CapturedStream&) = delete;

    std::FILE* File() const { return m_file; }
    std::string Text() const;

private:
    std::FILE* m_file = nullptr;
    std::wstring m_path;
};
