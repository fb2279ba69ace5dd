#include "app/device/CThreadBasic.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>

namespace
{
// Polls until done() or a generous deadline; the deadline only keeps a broken build from hanging.
template <typename Done> bool WaitFor(Done done)
{
    for (int i = 0; i < 2000 && !done(); ++i)
    {
        Sleep(5);
    }
    return done();
}

class CountingThread : public CThreadBasic
{
public:
    ~CountingThread() { Stop(); }
    std::atomic<int> steps{0};
    std::set<DWORD> ThreadIds()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_threadIds;
    }

protected:
    void WorkStep() override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_threadIds.insert(GetCurrentThreadId());
        }
        ++steps;
    }

private:
    std::mutex m_mutex;
    std::set<DWORD> m_threadIds; // guarded by m_mutex
};

// A step that rests the way the display tick does, for far longer than Stop waits.
class RestingThread : public CThreadBasic
{
public:
    ~RestingThread() { Stop(); }
    std::atomic<int> entered{0};
    std::atomic<int> pauseResult{-1};

protected:
    void WorkStep() override
    {
        ++entered;
        pauseResult = PauseFor(600000) ? 1 : 0;
    }
};

// A worker with nothing to do until it is woken, as the display worker without a display.
class WokenThread : public CThreadBasic
{
public:
    ~WokenThread() { Stop(); }
    using CThreadBasic::WakeWorker;
    std::atomic<int> steps{0};

protected:
    void WorkStep() override { ++steps; }
    DWORD NextPause() override { return INFINITE; }
};

// A step that never returns on its own, like a download that hangs.
class StuckThread : public CThreadBasic
{
public:
    std::atomic<int> entered{0};

protected:
    void WorkStep() override
    {
        ++entered;
        Sleep(INFINITE);
    }
};
} // namespace

TEST(ThreadBasic, StopOfAnIdleWorkerEndsItsStepsAndAllowsARestart)
{
    CountingThread thread;
    thread.Stop(); // never started: nothing to do
    EXPECT_FALSE(thread.IsRunning());

    thread.Start();
    thread.Start(); // already running: no second thread
    EXPECT_TRUE(thread.IsRunning());
    ASSERT_TRUE(WaitFor([&] { return thread.steps.load() >= 3; }));
    thread.Stop();
    EXPECT_FALSE(thread.IsRunning());
    const int stepsAtStop = thread.steps.load();
    Sleep(100);
    EXPECT_EQ(stepsAtStop, thread.steps.load()) << "a step ran after Stop returned";
    EXPECT_EQ(1u, thread.ThreadIds().size());

    thread.Start();
    ASSERT_TRUE(WaitFor([&] { return thread.steps.load() > stepsAtStop; }));
    thread.Stop();
    EXPECT_EQ(2u, thread.ThreadIds().size());
}

TEST(ThreadBasic, StopCutsShortAStepThatIsResting)
{
    // Were the rest not cut short, Stop would give up waiting and end this process.
    RestingThread thread;
    thread.Start();
    ASSERT_TRUE(WaitFor([&] { return thread.entered.load() == 1; }));
    thread.Stop();
    EXPECT_EQ(0, thread.pauseResult.load());
    EXPECT_EQ(1, thread.entered.load());
}

TEST(ThreadBasic, AWorkerRestingWithoutLimitStepsOncePerWakeAndStops)
{
    WokenThread thread;
    thread.Start();
    ASSERT_TRUE(WaitFor([&] { return thread.steps.load() == 1; }));
    for (int wakes = 1; wakes <= 3; ++wakes)
    {
        thread.WakeWorker();
        ASSERT_TRUE(WaitFor([&] { return thread.steps.load() == 1 + wakes; })) << wakes;
    }
    Sleep(50);
    EXPECT_EQ(4, thread.steps.load()) << "a step without a wake-up";
    thread.Stop();
    EXPECT_FALSE(thread.IsRunning());
}

TEST(ThreadBasicDeathTest, StopEndsTheProcessWhenAStepOutlastsTheWait)
{
    EXPECT_EXIT(
        {
            static StuckThread thread; // never destroyed: its worker still runs inside it
            thread.Start();
            while (thread.entered.load() == 0)
            {
                Sleep(1);
            }
            thread.Stop();
        },
        ::testing::ExitedWithCode(0), "");
}
