#pragma once

#include <memory>
#include <string_view>
#include <vector>

// Starts sensor servers from the program folder and keeps an eye on each one it started: the
// start (or its failure) and, when it ends, its exit code go to the program log. Created, used
// and destroyed on the window thread; the exit lines are written from the system's wait thread.
class SensorServerLauncher
{
public:
    SensorServerLauncher();
    // Stops watching (after a report in progress); the servers themselves keep running.
    ~SensorServerLauncher();
    SensorServerLauncher(const SensorServerLauncher&) = delete;
    SensorServerLauncher& operator=(const SensorServerLauncher&) = delete;

    // Starts the server that suits this Windows, without arguments; does not look whether one
    // already runs. event: the log event of the start ("sensor-server-start" or
    // "sensor-server-restart"); details: what the caller adds (key=value pairs).
    void Launch(std::string_view event, std::string_view details);

private:
    struct Watched;
    // Forgets servers that have ended (their exit has been logged).
    void ForgetEnded();

    std::vector<std::unique_ptr<Watched>> m_watched;
};
