#pragma once

#include <unknwn.h>

// Sole owner of one COM interface reference. No conversions: callers say get() or put().
template <typename T> class ComRef
{
public:
    ComRef() = default;
    ~ComRef() { reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& other) noexcept : m_ptr(other.m_ptr) { other.m_ptr = nullptr; }
    ComRef& operator=(ComRef&& other) noexcept
    {
        if (this != &other)
        {
            reset();
            m_ptr = other.m_ptr;
            other.m_ptr = nullptr;
        }
        return *this;
    }

    T* get() const { return m_ptr; }
    T* operator->() const { return m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }

    // Releases the current reference and hands out the slot for a call that returns a new one.
    T** put()
    {
        reset();
        return &m_ptr;
    }

    void reset()
    {
        if (m_ptr)
        {
            T* old = m_ptr;
            m_ptr = nullptr;
            old->Release();
        }
    }

    template <typename U> HRESULT QueryInto(ComRef<U>& target) const
    {
        return m_ptr->QueryInterface(__uuidof(U), reinterpret_cast<void**>(target.put()));
    }

private:
    T* m_ptr = nullptr;
};
