#include "tests/app/update/TestServer.h"

#include "tests/app/update/TestFiles.h"

#include <windows.h>

#include <sstream>

TestServer::TestServer()
{
    wchar_t root[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"TK_UPDATE_SERVER_ROOT", root, MAX_PATH) == 0)
        return;
    m_root = root;
    if (m_root.back() != L'\\')
        m_root += L'\\';
    const std::string address = ReadFileBytes(m_root + L"server.txt");
    if (address.rfind("http://", 0) == 0)
        m_address.assign(address.begin(), address.end());
}

bool TestServer::Put(const std::wstring& relative, const std::string& bytes) const
{
    for (auto slash = relative.find(L'\\'); slash != std::wstring::npos;
         slash = relative.find(L'\\', slash + 1))
        CreateDirectoryW((m_root + relative.substr(0, slash)).c_str(), nullptr);
    return WriteFileBytes(m_root + relative, bytes);
}

std::vector<std::string> TestServer::Log() const
{
    std::vector<std::string> lines;
    std::istringstream log(ReadFileBytes(m_root + L"server.log"));
    for (std::string line; std::getline(log, line);)
        lines.push_back(line);
    return lines;
}
