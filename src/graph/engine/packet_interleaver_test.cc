#include "graph/engine/packet_interleaver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvex::engine {
namespace {

constexpr AVRational kMilliseconds{1, 1000};
constexpr int64_t kTenSeconds = 10'000'000;  // in the interleaver's microseconds

struct Sent {
  int stream;
  int64_t milliseconds;  // -1: no timestamp
  int size;
};

std::string Token(int stream, int64_t time) {
  return std::to_string(stream) + ":" + (time == AV_NOPTS_VALUE ? std::string("-") : std::to_string(time));
}

// Pushes the packets one by one, writing what becomes due after each, as
// the Matroska writer does, then drains the rest. Returns "stream:time"
// tokens in the order written, and checks that the waiting bytes never
// exceed the budget by more than the packet just pushed.
std::vector<std::string> Interleave(PacketInterleaver& interleaver, const std::vector<Sent>& packets, size_t budget) {
  std::vector<std::string> order;
  PacketHandle in = MakePacket();
  PacketHandle out = MakePacket();
  const auto write = [&] {
    order.push_back(Token(out->stream_index, out->dts));
    av_packet_unref(out.get());
  };
  for (const Sent& sent : packets) {
    EXPECT_EQ(av_new_packet(in.get(), sent.size), 0);
    in->stream_index = sent.stream;
    in->dts = sent.milliseconds < 0 ? AV_NOPTS_VALUE : sent.milliseconds;
    in->pts = in->dts;
    EXPECT_TRUE(interleaver.Push(in.get(), kMilliseconds));
    EXPECT_EQ(in->size, 0);  // the reference moved in
    while (interleaver.PopReady(out.get())) write();
    EXPECT_LE(interleaver.bytesWaiting(), budget + static_cast<size_t>(sent.size));
  }
  while (interleaver.PopAny(out.get())) write();
  EXPECT_EQ(interleaver.bytesWaiting(), 0u);
  return order;
}

std::vector<std::string> Interleave(const std::vector<Sent>& packets) {
  PacketInterleaver interleaver(2, 1 << 20, kTenSeconds);
  return Interleave(interleaver, packets, 1 << 20);
}

using Order = std::vector<std::string>;

TEST(PacketInterleaverTest, OrdersStreamsByTimeOnceEveryStreamHasAPacket) {
  // Video comes in ahead of its audio, as transport streams carry it.
  EXPECT_EQ(
      Interleave(
          {{0, 0, 100}, {0, 40, 100}, {0, 80, 100}, {1, 0, 10}, {1, 32, 10}, {1, 64, 10}, {1, 96, 10}, {0, 120, 100}}),
      (Order{"0:0", "1:0", "1:32", "0:40", "1:64", "0:80", "1:96", "0:120"}));
}

TEST(PacketInterleaverTest, KeepsEachStreamsOwnOrderWhenItsTimeStepsBack) {
  // A splice: stream 0 starts again at 0; its packets must not swap.
  EXPECT_EQ(Interleave({{0, 100, 1}, {0, 0, 1}, {1, 50, 1}, {1, 150, 1}}), (Order{"1:50", "0:100", "0:0", "1:150"}));
}

TEST(PacketInterleaverTest, PacketsWithoutTimeFollowTheirPredecessor) {
  EXPECT_EQ(Interleave({{0, 40, 1}, {0, -1, 1}, {1, 30, 1}, {1, 60, 1}}), (Order{"1:30", "0:40", "0:-", "1:60"}));
}

// Streams that never catch up: one ends early, one never starts, one is
// stamped far ahead, or all frames carry nearly the same time. Stream 0 is
// still written whole and in its order, and the waiting bytes stay within
// the budget all along (checked by Interleave).
TEST(PacketInterleaverTest, AStreamThatFallsBehindCostsNoMoreThanTheBudget) {
  struct Case {
    const char* name;
    std::vector<Sent> packets;
  };
  std::vector<Case> cases{{"audio ends early", {{1, 0, 10}}},
                          {"audio never comes", {}},
                          {"audio stamped far ahead", {{1, 100'000, 10}}},
                          {"video all at one time", {}}};
  for (int i = 0; i < 200; ++i) {
    for (size_t c = 0; c < 3; ++c) cases[c].packets.push_back({0, 40 * i, 1000});
    cases[3].packets.push_back({0, i / 100, 1000});
  }
  cases[3].packets.push_back({1, 5000, 10});
  constexpr size_t kBudget = 8000;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PacketInterleaver interleaver(2, kBudget, kTenSeconds);
    Order video;
    for (const std::string& token : Interleave(interleaver, c.packets, kBudget)) {
      if (token.starts_with("0:")) video.push_back(token);
    }
    Order expected;
    for (const Sent& sent : c.packets) {
      if (sent.stream == 0) expected.push_back(Token(0, sent.milliseconds));
    }
    EXPECT_EQ(video, expected);
  }
}

TEST(PacketInterleaverTest, OnlyPacketsFartherThanTheSpanBeforeTheLatestAreDue) {
  PacketInterleaver interleaver(2, 1 << 20, 1'000'000);
  PacketHandle packet = MakePacket();
  for (int64_t time : {0, 500, 1000, 1001}) {
    ASSERT_EQ(av_new_packet(packet.get(), 1), 0);
    packet->stream_index = 0;
    packet->dts = time;
    ASSERT_TRUE(interleaver.Push(packet.get(), kMilliseconds));
  }
  // Stream 1 is silent; of stream 0 only the packet more than 1 s before the
  // latest may go.
  ASSERT_TRUE(interleaver.PopReady(packet.get()));
  EXPECT_EQ(packet->dts, 0);
  av_packet_unref(packet.get());
  EXPECT_FALSE(interleaver.PopReady(packet.get()));
}

}  // namespace
}  // namespace quorvex::engine
