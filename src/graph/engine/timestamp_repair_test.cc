#include "graph/engine/timestamp_repair.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvex::engine {
namespace {

constexpr int64_t kNone = kNoTimestamp;

struct Step {
  int64_t pts, dts, duration;
  int64_t wantPts, wantDts;
};

void Expect(const std::vector<Step>& steps) {
  TimestampRepair repair;
  for (size_t i = 0; i < steps.size(); ++i) {
    const Step& s = steps[i];
    const TimestampRepair::Times got = repair.Apply(s.pts, s.dts, s.duration);
    EXPECT_EQ(got.pts, s.wantPts) << "packet " << i;
    EXPECT_EQ(got.dts, s.wantDts) << "packet " << i;
  }
}

TEST(TimestampRepairTest, CompleteTimesPassUnchanged) {
  Expect({{3600, 0, 3600, 3600, 0}, {10800, 3600, 3600, 10800, 3600}, {7200, 7200, 3600, 7200, 7200}});
}

TEST(TimestampRepairTest, MissingTimesFollowTheLastPacket) {
  Expect({{100, 100, 10, 100, 100},
          {kNone, kNone, 10, 110, 110},  // no time at all: the next slot
          {kNone, 120, 10, 120, 120},    // decoding time only: shown then
          {130, kNone, 10, 130, 130}});  // presentation time only
}

TEST(TimestampRepairTest, StreamWithoutAnyTimeStartsAtZero) {
  Expect({{kNone, kNone, 0, 0, 0}, {kNone, kNone, 0, 0, 0}});
}

TEST(TimestampRepairTest, DecodingTimeNeverStepsBack) {
  // A splice in a transport stream: the clock jumps back.
  Expect({{500, 500, 10, 500, 500}, {200, 200, 10, 500, 500}, {520, 510, 10, 520, 510}});
}

TEST(TimestampRepairTest, PresentationNeverBeforeDecoding) { Expect({{90, 100, 10, 100, 100}}); }

TEST(TimestampRepairTest, MissingDecodingTimeOfReorderedFrameStaysMonotonic) {
  // An anchor frame shown late, then a B-frame with only its own time.
  Expect({{130, 100, 10, 130, 100}, {110, kNone, 10, 110, 110}});
}

}  // namespace
}  // namespace quorvex::engine
