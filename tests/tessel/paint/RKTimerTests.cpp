#include "tessel/paint/RKTimer.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>

using Tessel::CString;
using Tessel::RKTimer;

namespace
{
class CountingTimer : public RKTimer
{
public:
    ~CountingTimer() override { KillTimer(); }
    void OnMTimer(UINT id) override
    {
        inCallback = true;
        lastId = id;
        ++ticks;
        if (slow)
            ::Sleep(30);
        inCallback = false;
    }
    void OnMTimer(UINT, CString name) override
    {
        ++appTicks;
        lastName = name;
    }

    std::atomic<int> ticks{0};
    std::atomic<int> appTicks{0};
    std::atomic<bool> inCallback{false};
    std::atomic<UINT> lastId{0};
    std::atomic<bool> slow{false};
    CString lastName; // written on the timer thread, read after the timer is killed
};

bool WaitFor(const std::atomic<int>& value, int atLeast)
{
    for (int i = 0; i < 400 && value.load() < atLeast; ++i)
        ::Sleep(5);
    return value.load() >= atLeast;
}
} // namespace

TEST(RKTimer, ResolutionIsSetOnceAndEndedWithTheLastObject)
{
    ASSERT_FALSE(RKTimer::IsResolutionSet());
    {
        auto a = std::make_unique<CountingTimer>();
        auto b = std::make_unique<CountingTimer>();
        EXPECT_FALSE(RKTimer::IsResolutionSet()); // nothing before the first SetTimer
        ASSERT_NE(0, a->SetTimer(50, CString(L"a"), 0));
        EXPECT_TRUE(RKTimer::IsResolutionSet());
        const UINT resolution = RKTimer::GetResolution();
        EXPECT_GE(resolution, 1u);
        ASSERT_NE(0, b->SetTimer(50, CString(L"b"), 0));
        EXPECT_EQ(resolution, RKTimer::GetResolution());
        a.reset();
        EXPECT_TRUE(RKTimer::IsResolutionSet()); // b still lives
    }
    EXPECT_FALSE(RKTimer::IsResolutionSet());

    CountingTimer again;
    ASSERT_NE(0, again.SetTimer(50, CString(), 0));
    EXPECT_TRUE(RKTimer::IsResolutionSet()); // begun again for a new generation of timers
}

TEST(RKTimer, TicksArriveAndApplicationTimersAlsoGetTheirName)
{
    CountingTimer t;
    const int plain = t.SetTimer(5, CString(L"plain"), 0);
    ASSERT_TRUE(WaitFor(t.ticks, 3));
    EXPECT_EQ(0, t.appTicks.load());
    EXPECT_EQ(static_cast<UINT>(plain), t.lastId.load());
    t.KillTimer(static_cast<UINT>(plain));

    const int app = t.SetTimer(5, CString(L"app"), 1);
    ASSERT_TRUE(WaitFor(t.appTicks, 2));
    t.KillTimer();
    EXPECT_STREQ(L"app", t.lastName.GetString());
    EXPECT_EQ(0, t.IsAppTimer(static_cast<UINT>(app))); // no record once killed
}

TEST(RKTimer, RecordsAndQueries)
{
    CountingTimer t;
    const UINT a = static_cast<UINT>(t.SetTimer(1000, CString(L""), 0));
    const UINT b = static_cast<UINT>(t.SetTimer(1000, CString(L"named"), 1));
    const UINT c = static_cast<UINT>(t.SetTimer(1000, CString(L""), 0));
    ASSERT_NE(0u, a);
    EXPECT_EQ(1, t.GetTimerIsRun(b));
    EXPECT_EQ(1, t.GetTimerIsRun(CString(L"named")));
    EXPECT_EQ(0, t.GetTimerIsRun(CString(L"NAMED")));
    EXPECT_EQ(1, t.IsAppTimer(b));
    EXPECT_EQ(0, t.IsAppTimer(a));
    EXPECT_STREQ(L"named", t.GetTimerName(b).GetString());
    EXPECT_STREQ(L"", t.GetTimerName(0xFFFF).GetString());
    EXPECT_EQ(0, t.IsAppTimer(0xFFFF));

    // The first record with an empty name goes; the second stays.
    EXPECT_EQ(2, t.KillTimer(CString(L"")));
    EXPECT_EQ(0, t.GetTimerIsRun(a));
    EXPECT_EQ(1, t.GetTimerIsRun(c));
    EXPECT_EQ(2, t.KillTimer(0xFFFFu)); // unknown id: nothing removed
    EXPECT_EQ(1, t.KillTimer(b));
    t.KillTimer();
    EXPECT_EQ(0, t.GetTimerIsRun(c));
}

TEST(RKTimer, GetFSTimerFindsTheOwner)
{
    CountingTimer first;
    CountingTimer second;
    const UINT a = static_cast<UINT>(first.SetTimer(1000, CString(), 0));
    const UINT b = static_cast<UINT>(second.SetTimer(1000, CString(), 0));
    EXPECT_EQ(&first, RKTimer::GetFSTimer(a));
    EXPECT_EQ(&second, RKTimer::GetFSTimer(b));
    EXPECT_EQ(nullptr, RKTimer::GetFSTimer(0xFFFF));
    second.KillTimer(b);
    EXPECT_EQ(nullptr, RKTimer::GetFSTimer(b));
}

TEST(RKTimer, NoCallbackRunsOnceKillReturns)
{
    for (int round = 0; round < 20; ++round)
    {
        auto t = std::make_unique<CountingTimer>();
        t->slow = true;
        const UINT id = static_cast<UINT>(t->SetTimer(1, CString(), 0));
        ASSERT_TRUE(WaitFor(t->ticks, 1));
        t->KillTimer(id);
        EXPECT_FALSE(t->inCallback.load());
        const int after = t->ticks.load();
        ::Sleep(20);
        EXPECT_EQ(after, t->ticks.load());
    }
}

TEST(RKTimer, DestroyingWhileTicksRunIsSafe)
{
    for (int round = 0; round < 20; ++round)
    {
        auto t = std::make_unique<CountingTimer>();
        for (int i = 0; i < 4; ++i)
            t->SetTimer(1, CString(), 1);
        ::Sleep(static_cast<DWORD>(round % 5));
        t.reset(); // its destructor kills all four; a late tick must not touch freed memory
    }
    ::Sleep(20);
    SUCCEED();
}
