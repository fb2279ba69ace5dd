#include "tests/app/ui/LocalUpdateServer.h"

#include "tools/kelvanestage/StageUpdatePort.h"

#include <ws2tcpip.h>

LocalUpdateServer::LocalUpdateServer(std::map<std::string, std::string> files) : m_files(std::move(files))
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (m_listener == INVALID_SOCKET)
        return;
    BOOL reuse = TRUE;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(StageUpdatePort());
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listener, 8) != 0)
    {
        closesocket(m_listener);
        m_listener = INVALID_SOCKET;
        return;
    }
    m_thread = std::thread([this] { Serve(); });
}

LocalUpdateServer::~LocalUpdateServer()
{
    m_stopping = true;
    if (m_listener != INVALID_SOCKET)
        closesocket(m_listener);
    if (m_thread.joinable())
        m_thread.join();
    WSACleanup();
}

std::vector<LocalUpdateServer::Request> LocalUpdateServer::Requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void LocalUpdateServer::Serve()
{
    while (!m_stopping)
    {
        SOCKET client = accept(m_listener, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            break;
        Answer(client);
        closesocket(client);
    }
}

void LocalUpdateServer::Answer(SOCKET client)
{
    std::string request;
    char buffer[2048];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 16384)
    {
        const int n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        request.append(buffer, static_cast<std::size_t>(n));
    }
    const std::size_t start = request.find(' ');
    const std::size_t end = request.find(' ', start + 1);
    const std::string path = start == std::string::npos || end == std::string::npos
                                 ? ""
                                 : request.substr(start + 1, end - start - 1);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.push_back({path, UtcNow()});
    }
    const auto file = m_files.find(path);
    const bool found = file != m_files.end();
    const std::string body = found ? file->second : "not found";
    const std::string answer =
        std::string(found ? "HTTP/1.1 200 OK" : "HTTP/1.1 404 Not Found") +
        "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
        "\r\nConnection: close\r\n\r\n" + body;
    send(client, answer.data(), static_cast<int>(answer.size()), 0);
}
