#include "base/UniqueHandle.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

static std::vector<int> g_released;

// A descriptor: -1 when empty, every negative value counts as none.
struct FdTraits
{
    using Handle = int;
    static Handle Invalid() noexcept { return -1; }
    static bool IsValid(Handle fd) noexcept { return fd >= 0; }
    static void Release(Handle fd) noexcept { g_released.push_back(fd); }
};

// A pointer with null as its one invalid value, given back by one function, as a library's handle.
static void ReleasePointer(int* p)
{
    g_released.push_back(*p);
}
using Pointer = UniqueHandle<ReleasedBy<int*, ReleasePointer>>;

using Fd = UniqueHandle<FdTraits>;
static_assert(!std::is_copy_constructible_v<Fd> && std::is_nothrow_move_assignable_v<Fd>);
static_assert(!std::is_convertible_v<Fd, bool> && std::is_constructible_v<bool, Fd>);

TEST(UniqueHandle, OnlyValidHandlesAreGivenBackAndOnce)
{
    g_released.clear();
    for (const int fd : {3, 0, -1, -2})
        EXPECT_EQ(fd >= 0, static_cast<bool>(Fd(fd))) << fd;
    int value = 42;
    EXPECT_FALSE(Pointer());
    EXPECT_TRUE(Pointer(&value));
    EXPECT_EQ((std::vector<int>{3, 0, 42}), g_released);
}

TEST(UniqueHandle, VerbsHandOverWithoutLosingOrDoublingAHandle)
{
    g_released.clear();
    Fd fd(3);
    fd.reset(5);                // gives 3 back
    EXPECT_EQ(5, fd.release()); // gives nothing back
    EXPECT_EQ(-1, fd.get());
    *fd.put() = 7;
    *fd.put() = 9; // gives 7 back
    Fd target(11);
    target = Fd(std::move(fd)); // gives 11 back
    Fd& same = target;
    target = std::move(same);
    EXPECT_EQ(9, target.get());
    EXPECT_EQ((std::vector<int>{3, 7, 11}), g_released);
}
