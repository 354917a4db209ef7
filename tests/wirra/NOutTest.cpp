// The queue between the reader thread and the program.

#include "NOut.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(NOut, ReadTakesMessagesInOrderAndKeepsTheCurrentOne)
{
    CNOut q;
    EXPECT_EQ(q.Read(), 0);
    q.Push(6, 25, "$GPGGA", 6);
    q.Push(27, 99, "$BIN\0x", 6);
    ASSERT_EQ(q.Read(), 1);
    EXPECT_EQ(q.Current().Type(), 6);
    EXPECT_EQ(q.Current().Id(), 25u);
    EXPECT_STREQ(q.Current().Data(), "$GPGGA");
    ASSERT_EQ(q.Read(), 1);
    EXPECT_EQ(q.Current().Length(), 6);
    EXPECT_EQ(q.Current().Data()[4], '\0');
    EXPECT_EQ(q.Read(), 0);
    EXPECT_EQ(q.Current().Id(), 99u); // unchanged by a failed read
}

TEST(NOut, OneNotificationPerBatch)
{
    CNOut q;
    EXPECT_TRUE(q.Push(6, 25, "a", 1));
    EXPECT_FALSE(q.Push(6, 25, "b", 1)); // still outstanding: the program has not drained yet
    EXPECT_EQ(q.Read(), 1);
    EXPECT_FALSE(q.Push(6, 25, "c", 1)); // drained partly: the coming drain will see it
    EXPECT_EQ(q.Read(), 1);
    EXPECT_EQ(q.Read(), 1);
    EXPECT_EQ(q.Read(), 0);              // empty: the next message needs a new notice
    EXPECT_TRUE(q.Push(6, 25, "d", 1));
}

TEST(NOut, BoundedByCountAndBytesDroppingTheOldest)
{
    CNOut q;
    for (unsigned i = 0; i < CNOut::kMaxMessages + 10; ++i)
        q.Push(6, i, "x", 1);
    EXPECT_EQ(q.Waiting(), CNOut::kMaxMessages);
    EXPECT_EQ(q.Discarded(), 10u);
    ASSERT_EQ(q.Read(), 1);
    EXPECT_EQ(q.Current().Id(), 10u);
    q.Clear();
    const std::string big(300000, 'b');
    for (int i = 0; i < 10; ++i)
        q.Push(27, unsigned(i), big.data(), big.size());
    EXPECT_LE(q.Waiting() * big.size(), CNOut::kMaxBytes);
    EXPECT_EQ(q.Waiting(), 3u);
}

TEST(NOut, ProducerAndConsumerThreadsLoseNothing)
{
    CNOut q;
    constexpr unsigned kCount = 3000; // below the bound, so nothing may be discarded
    std::thread producer([&] {
        for (unsigned i = 0; i < kCount; ++i)
            q.Push(6, i, "m", 1);
    });
    unsigned next = 0;
    bool inOrder = true;
    while (next < kCount) {
        if (q.Read() == 1) {
            inOrder = inOrder && q.Current().Id() == next;
            ++next;
        } else {
            q.WaitForMessage(50);
        }
    }
    producer.join();
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(q.Discarded(), 0u);
}
