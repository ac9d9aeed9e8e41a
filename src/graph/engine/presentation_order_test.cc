#include "graph/engine/presentation_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace quorvex::engine {
namespace {

struct Frame {
  int64_t key;
  bool restart = false;
};

struct Times {
  int64_t pts, dts;
  bool operator==(const Times&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Times& t) { return os << "{" << t.pts << ", " << t.dts << "}"; }

// Frames with decoding times 0, 1, 2, ... (one tick per frame, as AVI has).
std::vector<Times> Order(int delay, const std::vector<Frame>& frames) {
  PresentationOrder order(delay);
  std::vector<Times> out;
  const auto drain = [&] {
    for (PacketHandle p = order.Pop(); p != nullptr; p = order.Pop()) out.push_back({p->pts, p->dts});
  };
  for (size_t i = 0; i < frames.size(); ++i) {
    PacketHandle packet = MakePacket();
    packet->dts = static_cast<int64_t>(i);
    packet->duration = 1;
    order.Push(std::move(packet), frames[i].key, frames[i].restart);
    drain();
  }
  order.Finish();
  drain();
  return out;
}

TEST(PresentationOrderTest, EachFrameTakesTheSlotOfItsDisplayRank) {
  // I0 P3 B1 B2 P6 B4 B5: classic B-frames, one frame held back.
  EXPECT_EQ(Order(1, {{0}, {3}, {1}, {2}, {6}, {4}, {5}}),
            (std::vector<Times>{{0, -1}, {3, 0}, {1, 1}, {2, 2}, {6, 3}, {4, 4}, {5, 5}}));
  // H.264 pyramid, picture order counts in steps of 2: I0 P8 B4 b2 b6, two held back.
  EXPECT_EQ(Order(2, {{0, true}, {8}, {4}, {2}, {6}}), (std::vector<Times>{{0, -2}, {4, -1}, {2, 0}, {1, 1}, {3, 2}}));
}

TEST(PresentationOrderTest, RestartShowsEverythingHeldFirst) {
  // Two closed groups whose counts both start at 0; the second group's
  // frames come after all of the first's.
  EXPECT_EQ(Order(2, {{0, true}, {4}, {2}, {0, true}, {4}, {2}}),
            (std::vector<Times>{{0, -2}, {2, -1}, {1, 0}, {3, 1}, {5, 2}, {4, 3}}));
  // The same when the new group does not say so: its count falls below
  // what has been shown.
  EXPECT_EQ(Order(1, {{0}, {4}, {2}, {0}, {4}, {2}}),
            (std::vector<Times>{{0, -1}, {2, 0}, {1, 1}, {3, 2}, {5, 3}, {4, 4}}));
}

TEST(PresentationOrderTest, PresentationNeverPrecedesDecoding) {
  const std::vector<Times> out = Order(2, {{0, true}, {16}, {8}, {4}, {2}, {6}, {12}, {10}, {14}});
  ASSERT_EQ(out.size(), 9u);
  std::vector<int64_t> shown;
  for (const Times& t : out) {
    EXPECT_LE(t.dts, t.pts);
    shown.push_back(t.pts);
  }
  std::sort(shown.begin(), shown.end());
  for (int64_t i = 0; i < 9; ++i) EXPECT_EQ(shown[static_cast<size_t>(i)], i);
}

}  // namespace
}  // namespace quorvex::engine
