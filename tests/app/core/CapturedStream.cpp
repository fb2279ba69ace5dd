#include "tests/app/core/CapturedStream.h"

#include <windows.h>

CapturedStream::CapturedStream()
{
    wchar_t folder[MAX_PATH];
    wchar_t path[MAX_PATH];
    if (GetTempPathW(MAX_PATH, folder) && GetTempFileNameW(folder, L"err", 0, path))
    {
        m_path = path;
        m_file = _wfopen(path, L"w+b");
    }
}

CapturedStream::~CapturedStream()
{
    if (m_file)
        std::fclose(m_file);
    if (!m_path.empty())
        DeleteFileW(m_path.c_str());
}

std::string CapturedStream::Text() const
{
    std::string text;
    if (!m_file)
        return text;
    std::fflush(m_file);
    const long end = std::ftell(m_file);
    std::rewind(m_file);
    text.resize(static_cast<size_t>(end));
    text.resize(std::fread(&text[0], 1, text.size(), m_file));
    std::fseek(m_file, 0, SEEK_END);
    return text;
}
