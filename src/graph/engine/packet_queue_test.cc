#include "graph/engine/packet_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace quorvex::engine {
namespace {

PacketHandle PacketOfSize(int size, int streamIndex = 0) {
  PacketHandle packet = MakePacket();
  EXPECT_EQ(av_new_packet(packet.get(), size), 0);
  packet->stream_index = streamIndex;
  return packet;
}

TEST(PacketQueueTest, DeliversInOrderAndDrainsAfterClose) {
  PacketQueue queue(4, 1 << 20);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(queue.Push(PacketOfSize(10, i).get()));
  queue.Close();
  PacketHandle out = MakePacket();
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(queue.Pop(out.get()));
    EXPECT_EQ(out->stream_index, i);
    EXPECT_EQ(out->size, 10);
    av_packet_unref(out.get());
  }
  EXPECT_FALSE(queue.Pop(out.get()));
}

// Returns once a Push is waiting inside the queue: proof that the reading
// thread was held back, with no guess at how long that takes.
void AwaitBlockedPush(PacketQueue& queue) {
  while (!queue.PushWaiting()) std::this_thread::yield();
}

struct RoomCase {
  const char* name;
  size_t slots;
  size_t byteBudget;
  std::vector<int> queued;  // sizes of the packets already in the queue
  int next;                 // size of the packet that must wait
};

TEST(PacketQueueTest, ProducerWaitsForRoomUntilThePacketsAhead) {
  const RoomCase cases[] = {
      {"every slot taken", 2, 1 << 20, {10, 10}, 10},
      {"byte budget spent", 16, 100, {60}, 50},
      {"a giant packet alone over the budget", 16, 100, {1000}, 10},
  };
  for (const RoomCase& c : cases) {
    SCOPED_TRACE(c.name);
    PacketQueue queue(c.slots, c.byteBudget);
    for (int size : c.queued) ASSERT_TRUE(queue.Push(PacketOfSize(size).get()));
    std::atomic<bool> nextIn{false};
    std::thread producer([&] {
      PacketHandle packet = PacketOfSize(c.next, 7);
      EXPECT_TRUE(queue.Push(packet.get()));
      nextIn = true;
    });
    AwaitBlockedPush(queue);
    EXPECT_FALSE(nextIn.load());
    PacketHandle out = MakePacket();
    for (size_t i = 0; i < c.queued.size(); ++i) {
      ASSERT_TRUE(queue.Pop(out.get()));
      av_packet_unref(out.get());
    }
    producer.join();
    EXPECT_TRUE(nextIn.load());
    ASSERT_TRUE(queue.Pop(out.get()));
    EXPECT_EQ(out->stream_index, 7);
    EXPECT_EQ(out->size, c.next);
    av_packet_unref(out.get());
  }
}

TEST(PacketQueueTest, GiantPacketPassesAnEmptyQueueWithoutWaiting) {
  PacketQueue queue(16, 100);
  ASSERT_TRUE(queue.Push(PacketOfSize(1000).get()));  // returns: an empty queue takes it whatever its size
  EXPECT_FALSE(queue.PushWaiting());
  queue.Close();
  PacketHandle out = MakePacket();
  ASSERT_TRUE(queue.Pop(out.get()));
  EXPECT_EQ(out->size, 1000);
}

TEST(PacketQueueTest, CancelWakesBothSidesAndDropsWhatIsQueued) {
  PacketQueue queue(1, 1 << 20);
  ASSERT_TRUE(queue.Push(PacketOfSize(10).get()));
  std::thread producer([&] {
    PacketHandle packet = PacketOfSize(10);
    EXPECT_FALSE(queue.Push(packet.get()));  // blocked on the full queue until cancelled
    EXPECT_EQ(packet->size, 10);             // and left with its data
  });
  AwaitBlockedPush(queue);
  queue.Cancel();
  producer.join();
  PacketHandle out = MakePacket();
  EXPECT_FALSE(queue.Pop(out.get()));
}

TEST(PacketQueueTest, BatchedWakeUpsNeverStallEitherSide) {
  // Small packets keep the writer below its wake-up batch, large ones fill
  // the byte budget with only a few packets queued: both must flow.
  PacketQueue queue(16, 1000);
  constexpr int kPackets = 20000;
  std::thread producer([&] {
    for (int i = 0; i < kPackets; ++i) {
      PacketHandle packet = PacketOfSize(i % 97 == 0 ? 900 : 1 + i % 7, i % 5);
      packet->pts = i;
      ASSERT_TRUE(queue.Push(packet.get()));
    }
    queue.Close();
  });
  PacketHandle out = MakePacket();
  int received = 0;
  while (queue.Pop(out.get())) {
    EXPECT_EQ(out->pts, received);
    ++received;
    av_packet_unref(out.get());
  }
  producer.join();
  EXPECT_EQ(received, kPackets);
}

}  // namespace
}  // namespace quorvex::engine
