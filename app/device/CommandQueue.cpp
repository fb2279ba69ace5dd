#include "app/device/CommandQueue.h"

void CommandQueue::Append(int command)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_commands.push_back(command);
}

std::optional<int> CommandQueue::TakeFirst()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_commands.empty())
    {
        return std::nullopt;
    }
    const int command = m_commands.front();
    m_commands.pop_front();
    return command;
}

bool CommandQueue::IsEmpty() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_commands.empty();
}

std::size_t CommandQueue::Size() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_commands.size();
}

void CommandQueue::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_commands.clear();
}
