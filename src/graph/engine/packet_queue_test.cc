#include "graph/engine/packet_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

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

TEST(PacketQueueTest, ByteBudgetHoldsTheProducerBackButLetsAGiantPacketThrough) {
  PacketQueue queue(16, 100);
  ASSERT_TRUE(queue.Push(PacketOfSize(1000).get()));  // alone, it may exceed the budget
  std::atomic<bool> secondIn{false};
  std::thread producer([&] {
    PacketHandle packet = PacketOfSize(10);
    EXPECT_TRUE(queue.Push(packet.get()));
    secondIn = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(secondIn.load());
  PacketHandle out = MakePacket();
  ASSERT_TRUE(queue.Pop(out.get()));
  producer.join();
  EXPECT_TRUE(secondIn.load());
}

TEST(PacketQueueTest, CancelWakesBothSidesAndDropsWhatIsQueued) {
  PacketQueue queue(1, 1 << 20);
  ASSERT_TRUE(queue.Push(PacketOfSize(10).get()));
  std::thread producer([&] {
    PacketHandle packet = PacketOfSize(10);
    EXPECT_FALSE(queue.Push(packet.get()));  // blocked on the full queue until cancelled
    EXPECT_EQ(packet->size, 10);             // and left with its data
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
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
