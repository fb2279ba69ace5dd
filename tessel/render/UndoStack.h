#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace Tessel
{

// What a set-up did, step by step, so it can be undone in the reverse order: each step that took
// records its undo, and UndoAll runs them last first. Used by one thread at a time.
class UndoStack
{
public:
    void Push(std::function<void()> undo) { m_undo.push_back(std::move(undo)); }
    // Runs every recorded undo, the latest first, and forgets them.
    void UndoAll()
    {
        while (!m_undo.empty())
        {
            const std::function<void()> undo = std::move(m_undo.back());
            m_undo.pop_back();
            undo();
        }
    }
    bool Empty() const noexcept { return m_undo.empty(); }

private:
    std::vector<std::function<void()>> m_undo;
};

} // namespace Tessel
