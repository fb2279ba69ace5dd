#pragma once

#include <type_traits>
#include <utility>

// Sole owner of one handle of the kind Traits describes; gives it back when it goes. Movable, not
// copyable, no conversions: the handle is reached through get(). Each handle kind is a few lines
// of traits beside its alias:
//   using Handle = ...;                    the handle's type
//   static Handle Invalid() noexcept;      what an empty owner holds
//   static void Release(Handle) noexcept;  gives a held handle back
//   static bool IsValid(Handle) noexcept;  only where more values than Invalid() mean "none"
// A handle that is a pointer, null for "none", given back by one function needs no traits of its
// own: ReleasedBy<Pointer, Function> names them.
template <typename Traits> class UniqueHandle
{
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : m_handle(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    Handle get() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return IsValid(m_handle); }
    // Hands the handle over without giving it back; the owner is empty afterwards.
    [[nodiscard]] Handle release() noexcept { return std::exchange(m_handle, Traits::Invalid()); }
    // Gives the held handle back (if any) and takes over another.
    void reset(Handle handle = Traits::Invalid()) noexcept
    {
        const Handle old = std::exchange(m_handle, handle);
        if (IsValid(old))
            Traits::Release(old);
    }
    // Gives the held handle back and returns the empty slot, for a call that hands out a new one.
    Handle* put() noexcept
    {
        reset();
        return &m_handle;
    }

private:
    template <typename T, typename = void> struct NamesIsValid : std::false_type
    {
    };
    template <typename T>
    struct NamesIsValid<T, std::void_t<decltype(T::IsValid(std::declval<typename T::Handle>()))>>
        : std::true_type
    {
    };

    static bool IsValid(Handle handle) noexcept
    {
        if constexpr (NamesIsValid<Traits>::value)
            return Traits::IsValid(handle);
        else
            return handle != Traits::Invalid();
    }

    Handle m_handle = Traits::Invalid();
};

// Traits of a pointer handle: null is "none", Function gives it back.
template <typename Pointer, auto Function> struct ReleasedBy
{
    using Handle = Pointer;
    static Handle Invalid() noexcept { return nullptr; }
    static void Release(Handle handle) noexcept { Function(handle); }
};
