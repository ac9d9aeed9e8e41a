#include "graph/engine/splice_joiner.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvex::engine {
namespace {

constexpr int64_t kNone = AV_NOPTS_VALUE;
constexpr AVRational kMpeg = {1, 90000};

struct In {
  int stream;
  int64_t pts, dts, duration;
};
struct Out {
  int stream;
  int64_t pts, dts;
  bool operator==(const Out&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Out& out) {
  return os << "{" << out.stream << ", " << out.pts << ", " << out.dts << "}";
}

// Runs the packets through a joiner the way the reader does, in file order.
std::vector<Out> Join(std::vector<SpliceJoiner::StreamInfo> streams, const std::vector<In>& packets) {
  SpliceJoiner joiner(std::move(streams));
  std::vector<Out> out;
  PacketHandle packet = MakePacket();
  const auto take = [&] {
    out.push_back({packet->stream_index, packet->pts, packet->dts});
    av_packet_unref(packet.get());
  };
  for (const In& in : packets) {
    EXPECT_EQ(av_new_packet(packet.get(), 4), 0);
    packet->stream_index = in.stream;
    packet->pts = in.pts;
    packet->dts = in.dts;
    packet->duration = in.duration;
    if (joiner.Push(packet.get())) take();
    while (joiner.Pop(packet.get())) take();
  }
  joiner.Finish();
  while (joiner.Pop(packet.get())) take();
  return out;
}

const std::vector<SpliceJoiner::StreamInfo> kVideoAudio = {{kMpeg, true}, {kMpeg, true}};

TEST(SpliceJoinerTest, OneTimelinePassesUnchanged) {
  // B-frames (presentation before an earlier decoding time's), packets
  // without times, and a forward gap: all stay as they are.
  const std::vector<In> in = {{0, 7200, 3600, 3600},     {1, 3000, 3000, 2160},
                              {0, 3600, 7200, 3600},     {0, kNone, kNone, 3600},
                              {1, 5160, 5160, 2160},     {0, 900000, 900000, 3600},
                              {1, 900100, 900100, 2160}, {1, 900000 - 3000, 900000 - 3000, 2160}};
  const std::vector<Out> want = {{0, 7200, 3600},     {1, 3000, 3000},    {0, 3600, 7200},
                                 {0, kNone, kNone},   {1, 5160, 5160},    {0, 900000, 900000},
                                 {1, 900100, 900100}, {1, 897000, 897000}};  // jitter below the tolerance
  EXPECT_EQ(Join(kVideoAudio, in), want);
}

TEST(SpliceJoinerTest, JoinedRecordingsContinueAfterTheFirstWithOneOffset) {
  // Two copies of one recording, as `cat a.ts a.ts` makes: the audio of
  // the second copy arrives first, though its video starts decoding earlier.
  std::vector<In> copy;
  for (int64_t k = 0; k < 10; ++k) {
    copy.push_back({1, 128698 + 3600 * k, 128698 + 3600 * k, 3600});
    copy.push_back({0, 129600 + 3600 * k, 126000 + 3600 * k, 3600});
  }
  std::vector<In> in = copy;
  in.insert(in.end(), copy.begin(), copy.end());
  const std::vector<Out> out = Join(kVideoAudio, in);
  ASSERT_EQ(out.size(), in.size());
  // The first copy ends with its last video frame, shown at 162000 for
  // 3600; the second copy's earliest time, its first video frame's
  // decoding time, lands there.
  const int64_t offset = 162000 + 3600 - 126000;
  for (size_t i = 0; i < in.size(); ++i) {
    const int64_t shift = i < copy.size() ? 0 : offset;
    EXPECT_EQ(out[i], (Out{in[i].stream, in[i].pts + shift, in[i].dts + shift})) << i;
  }
}

TEST(SpliceJoinerTest, OffsetIsConvertedIntoEachStreamsTimeBase) {
  // Audio in 1/48000: a frame of 3600 ticks at 90 kHz is 1920 audio ticks.
  const std::vector<SpliceJoiner::StreamInfo> streams = {{kMpeg, true}, {{1, 48000}, true}};
  std::vector<In> in;
  std::vector<Out> want;
  for (int64_t copy = 0; copy < 2; ++copy) {
    for (int64_t k = 0; k < 10; ++k) {
      in.push_back({0, 3600 * k, 3600 * k, 3600});
      in.push_back({1, 1920 * k, 1920 * k, 1920});
      want.push_back({0, 3600 * (k + 10 * copy), 3600 * (k + 10 * copy)});
      want.push_back({1, 1920 * (k + 10 * copy), 1920 * (k + 10 * copy)});
    }
  }
  EXPECT_EQ(Join(streams, in), want);
}

TEST(SpliceJoinerTest, StreamEndingAtTheSpliceHoldsNothingForever) {
  // The audio stops at the splice; the video's new segment is released at
  // the end of the file with the offset its own start asks for.
  const std::vector<In> in = {
      {0, 90000, 90000, 3600}, {1, 90000, 90000, 2160}, {0, 10, 10, 3600}, {0, 3610, 3610, 3600}};
  const std::vector<Out> want = {{0, 90000, 90000}, {1, 90000, 90000}, {0, 93600, 93600}, {0, 97200, 97200}};
  EXPECT_EQ(Join(kVideoAudio, in), want);
}

TEST(SpliceJoinerTest, ManyPacketsAfterASpliceAreNotHeldWithoutBound) {
  // Only the video jumps; the audio stream never shows up again. The held
  // packets come out long before the end of the file.
  SpliceJoiner joiner(kVideoAudio);
  PacketHandle packet = MakePacket();
  const auto push = [&](int stream, int64_t time) {
    packet->stream_index = stream;
    packet->pts = packet->dts = time;
    packet->duration = 3600;
    return joiner.Push(packet.get());
  };
  EXPECT_TRUE(push(0, 900000));
  EXPECT_TRUE(push(1, 900000));
  int released = 0;
  for (int i = 0; i < 2000; ++i) {
    bool passed = push(0, 3600 * i);
    while (passed || joiner.Pop(packet.get())) {
      EXPECT_GE(packet->dts, 903600);
      ++released;
      passed = false;
    }
  }
  EXPECT_GT(released, 1000);
}

TEST(SpliceJoinerTest, AStreamFirstSeenAfterASpliceShiftsWithTheNewSegment) {
  const std::vector<SpliceJoiner::StreamInfo> streams = {{kMpeg, true}, {kMpeg, true}, {kMpeg, false}};
  const std::vector<In> in = {
      {0, 50000, 50000, 3600}, {0, 1000, 1000, 3600}, {2, 1000, 1000, 0}, {1, 1000, 1000, 2160}, {0, 4600, 4600, 3600}};
  const int64_t offset = 53600 - 1000;
  const std::vector<Out> want = {{0, 50000, 50000},
                                 {0, 1000 + offset, 1000 + offset},
                                 {2, 1000 + offset, 1000 + offset},
                                 {1, 1000 + offset, 1000 + offset},
                                 {0, 4600 + offset, 4600 + offset}};
  EXPECT_EQ(Join(streams, in), want);
}

TEST(SpliceJoinerTest, SecondSpliceJoinsAfterTheFirst) {
  std::vector<In> in;
  std::vector<Out> want;
  for (int64_t copy = 0; copy < 3; ++copy) {
    for (const In& packet : {In{0, 0, 0, 3600}, In{1, 0, 0, 3600}, In{0, 9000, 9000, 3600}, In{1, 9000, 9000, 3600}}) {
      in.push_back(packet);
      want.push_back({packet.stream, packet.pts + copy * 12600, packet.dts + copy * 12600});
    }
  }
  EXPECT_EQ(Join(kVideoAudio, in), want);
}

}  // namespace
}  // namespace quorvex::engine
