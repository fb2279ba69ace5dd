#pragma once

#include <string>
#include <vector>

// The local update server started by the update_server fixture (update_test_server.py). Its root
// folder is shared through TK_UPDATE_SERVER_ROOT, so tests put the files it serves there directly.
class TestServer
{
public:
    TestServer();

    bool IsAvailable() const { return !m_address.empty(); }
    // "http://127.0.0.1:port" + path; path starts with '/'.
    std::wstring Url(const std::wstring& path) const { return m_address + path; }
    // Writes a file below the root; relative uses '\'. Folders are created.
    bool Put(const std::wstring& relative, const std::string& bytes) const;
    std::wstring Root() const { return m_root; }
    // The request log: "request line | user agent | accept | pragma" per request.
    std::vector<std::string> Log() const;

private:
    std::wstring m_root;    // ends with '\'
    std::wstring m_address; // empty when no server runs
};
