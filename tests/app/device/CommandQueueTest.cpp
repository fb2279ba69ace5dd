#include "app/device/CommandQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

TEST(CommandQueue, HandsOutCommandsOldestFirstAndNothingWhenEmpty)
{
    CommandQueue queue;
    EXPECT_FALSE(queue.TakeFirst().has_value());
    for (int command : {5, 1, 6, 1})
    {
        queue.Append(command);
    }
    EXPECT_EQ(4u, queue.Size());
    std::vector<int> taken;
    while (const auto command = queue.TakeFirst())
    {
        taken.push_back(*command);
    }
    EXPECT_EQ((std::vector<int>{5, 1, 6, 1}), taken);
    EXPECT_TRUE(queue.IsEmpty());
}

TEST(CommandQueue, TwoProducersAndAConsumerLoseAndDuplicateNothing)
{
    constexpr int kPerProducer = 50000;
    CommandQueue queue;
    std::atomic<int> producersDone{0};
    // Producer p appends p * kPerProducer + i, so every value is unique and carries its order.
    auto produce = [&](int producer)
    {
        for (int i = 0; i < kPerProducer; ++i)
        {
            queue.Append(producer * kPerProducer + i);
        }
        ++producersDone;
    };
    std::vector<int> taken;
    std::thread consumer(
        [&]
        {
            while (producersDone.load() < 2 || !queue.IsEmpty())
            {
                if (const auto command = queue.TakeFirst())
                {
                    taken.push_back(*command);
                }
            }
        });
    std::thread first(produce, 0);
    std::thread second(produce, 1);
    first.join();
    second.join();
    consumer.join();

    ASSERT_EQ(static_cast<std::size_t>(2 * kPerProducer), taken.size());
    std::vector<int> seen(2 * kPerProducer, 0);
    int next[2] = {0, 0};
    for (int value : taken)
    {
        ++seen[static_cast<std::size_t>(value)];
        const int producer = value / kPerProducer;
        EXPECT_EQ(next[producer], value % kPerProducer) << "a producer's commands came out of order";
        next[producer] = value % kPerProducer + 1;
    }
    for (int count : seen)
    {
        ASSERT_EQ(1, count);
    }
}
