#pragma once

#include <cstddef>
#include <list>
#include <mutex>
#include <optional>

// Worker commands, oldest first. The window thread appends, the worker takes from the front; the
// mutex makes each append and removal whole, so no command is lost or taken twice.
class CommandQueue
{
public:
    void Append(int command);
    // The oldest command, removed from the queue; nothing when the queue is empty.
    std::optional<int> TakeFirst();
    bool IsEmpty() const;
    std::size_t Size() const;
    void Clear();

private:
    mutable std::mutex m_mutex;
    std::list<int> m_commands; // guarded by m_mutex; window thread and worker
};
