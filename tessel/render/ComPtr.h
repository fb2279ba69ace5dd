#pragma once

#include <unknwn.h>

namespace Tessel
{

// Sole owner of one reference to a COM interface, released on destruction. Same verbs as
// UniqueHandle; put() hands the empty slot to a function that returns an interface.
template <typename Interface> class ComPtr
{
public:
    ComPtr() noexcept = default;
    // Takes over a reference the caller already holds (no AddRef).
    explicit ComPtr(Interface* adopted) noexcept : m_ptr(adopted) {}
    ~ComPtr() { reset(); }

    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : m_ptr(other.release()) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    Interface* get() const noexcept { return m_ptr; }
    Interface* operator->() const noexcept { return m_ptr; }
    explicit operator bool() const noexcept { return m_ptr != nullptr; }
    Interface* release() noexcept
    {
        Interface* p = m_ptr;
        m_ptr = nullptr;
        return p;
    }
    void reset(Interface* adopted = nullptr) noexcept
    {
        if (m_ptr)
            m_ptr->Release();
        m_ptr = adopted;
    }
    // Releases what is held and returns the slot for an out parameter.
    Interface** put() noexcept
    {
        reset();
        return &m_ptr;
    }

private:
    Interface* m_ptr = nullptr;
};

} // namespace Tessel
