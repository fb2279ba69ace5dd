#include "app/device/WakeSignal.h"

#include <gtest/gtest.h>

#include <thread>

TEST(WakeSignal, AWakeIsKeptUntilOneWaitTakesIt)
{
    WakeSignal signal;
    EXPECT_FALSE(signal.WaitFor(0)) << "nothing to take";
    EXPECT_FALSE(signal.WaitFor(20)) << "the time runs out";
    signal.Wake();
    signal.Wake(); // two wake-ups before a wait are one
    EXPECT_TRUE(signal.WaitFor(INFINITE)) << "a wake-up before the wait ends it at once";
    EXPECT_FALSE(signal.WaitFor(0)) << "taken by the first wait";
    signal.Wake();
    signal.Clear();
    EXPECT_FALSE(signal.WaitFor(0)) << "cleared";
}

TEST(WakeSignal, AWakeFromAnotherThreadEndsAWaitWithoutLimit)
{
    WakeSignal signal;
    std::thread waker(
        [&]
        {
            Sleep(50); // most likely after the wait began; either order must end it
            signal.Wake();
        });
    EXPECT_TRUE(signal.WaitFor(INFINITE));
    waker.join();
}
