#pragma once

#include "app/platform/KernelHandle.h"
#include "app/update/UpdateCommand.h"

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

// The thread that runs the update commands (3 to 8), one at a time in queue order, apart from the
// display worker: a check that waits on a slow server or a download never holds up a scan or a
// display report. It sleeps while its queue is empty. A command never waits on a server past its
// deadline: the HTTP calls run in WinINet's asynchronous mode, whose own threads finish them and
// call back (RequestCompletion), and a call given up is closed, so the next command runs at once.
class UpdateWorker
{
public:
    static constexpr DWORD kStopWaitMs = 2000;
    using Runner = std::function<void(const UpdateCommand& command)>;

    // run: called on the worker thread for every command taken from the queue.
    explicit UpdateWorker(Runner run);
    // Stops the thread; one still inside a command after kStopWaitMs would go on using what its
    // owner is about to destroy, so the process ends there with exit code 0.
    ~UpdateWorker();
    UpdateWorker(const UpdateWorker&) = delete;
    UpdateWorker& operator=(const UpdateWorker&) = delete;

    // Window thread. Does nothing while the thread runs; without a thread the queue just waits.
    void Start();
    // Any thread. Only the update commands are kept; other ids are dropped here.
    void Append(const UpdateCommand& command);
    void Append(int command) { Append(UpdateCommand{command, {}}); }
    // Window thread. Asks the thread to leave after its current command (queued ones stay unrun)
    // and waits up to waitMs. False when it is still inside a command; Stop may be called again.
    bool Stop(DWORD waitMs = kStopWaitMs);

    bool IsRunning() const { return static_cast<bool>(m_thread); }
    std::size_t PendingCommands() const;
    // Signalled from Stop until the next Start, so that waits inside a command can end early.
    HANDLE StopEvent() const { return m_stopEvent.get(); }

private:
    static DWORD WINAPI ThreadProc(LPVOID object);
    void Run();
    std::optional<UpdateCommand> TakeFirst();

    Runner m_run; // set at construction; worker calls it
    mutable std::mutex m_commandsMutex;
    std::deque<UpdateCommand> m_commands; // guarded by m_commandsMutex: any thread appends, worker takes
    std::atomic<bool> m_stopping{false};  // window thread writes, worker reads between commands
    KernelHandle m_wakeEvent;             // auto-reset: Append and Stop set it, worker waits on it
    KernelHandle m_stopEvent;             // manual-reset: window thread sets and resets; any thread waits
    KernelHandle m_thread;                // window thread only
};
