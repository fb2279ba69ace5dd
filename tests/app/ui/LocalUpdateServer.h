#pragma once
#include <winsock2.h>

#include "tests/app/ui/SimLog.h"

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A minimal HTTP server on 127.0.0.1 at the staged program's update port, standing in for its
// update server. Answers GET for the paths it was given, 404 otherwise, and remembers every request.
class LocalUpdateServer
{
public:
    struct Request
    {
        std::string path;
        std::string utc; // "YYYY-MM-DD hh:mm:ss.mmm", as in the display simulator's log
    };

    explicit LocalUpdateServer(std::map<std::string, std::string> files);
    ~LocalUpdateServer();
    LocalUpdateServer(const LocalUpdateServer&) = delete;
    LocalUpdateServer& operator=(const LocalUpdateServer&) = delete;

    bool IsListening() const { return m_listener != INVALID_SOCKET; }
    std::vector<Request> Requests() const;

private:
    void Serve();
    void Answer(SOCKET client);

    std::map<std::string, std::string> m_files; // read-only after construction
    SOCKET m_listener = INVALID_SOCKET;         // closed by the destructor to end Serve
    std::atomic<bool> m_stopping{false};
    mutable std::mutex m_mutex;
    std::vector<Request> m_requests; // guarded by m_mutex; server thread appends, test reads
    std::thread m_thread;
};
