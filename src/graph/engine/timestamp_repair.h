#ifndef QUORVEX_GRAPH_ENGINE_TIMESTAMP_REPAIR_H_
#define QUORVEX_GRAPH_ENGINE_TIMESTAMP_REPAIR_H_

#include <cstdint>
#include <limits>

namespace quorvex::engine {

inline constexpr int64_t kNoTimestamp = std::numeric_limits<int64_t>::min();  // AV_NOPTS_VALUE

// Completes the timestamps of one stream's packets, in decoding order, so a
// muxer takes every packet: real streams carry packets without any
// timestamp, decoding times that step back at a splice, and presentation
// times before the decoding time. Such packets keep their place in the
// stream instead of being dropped.
class TimestampRepair {
 public:
  struct Times {
    int64_t pts;
    int64_t dts;
  };

  // `duration` is the packet's own duration, 0 when unknown.
  Times Apply(int64_t pts, int64_t dts, int64_t duration);

 private:
  int64_t lastDts_ = kNoTimestamp;
  int64_t lastDuration_ = 0;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_TIMESTAMP_REPAIR_H_
