#include "graph/engine/timestamp_repair.h"

#include <algorithm>

namespace quorvex::engine {

TimestampRepair::Times TimestampRepair::Apply(int64_t pts, int64_t dts, int64_t duration) {
  if (dts == kNoTimestamp) {
    if (lastDts_ != kNoTimestamp) {
      dts = lastDts_ + std::max<int64_t>(lastDuration_, 0);
      // A packet whose own presentation time is known cannot decode later.
      if (pts != kNoTimestamp && pts < dts) dts = std::max(pts, lastDts_);
    } else {
      dts = pts;  // kNoTimestamp too when the stream opens without any time
    }
  }
  if (dts == kNoTimestamp) dts = 0;
  if (lastDts_ != kNoTimestamp && dts < lastDts_) dts = lastDts_;
  if (pts == kNoTimestamp || pts < dts) pts = dts;
  lastDts_ = dts;
  if (duration > 0) lastDuration_ = duration;
  return {pts, dts};
}

}  // namespace quorvex::engine
