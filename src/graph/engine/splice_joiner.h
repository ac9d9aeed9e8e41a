#ifndef QUORVEX_GRAPH_ENGINE_SPLICE_JOINER_H_
#define QUORVEX_GRAPH_ENGINE_SPLICE_JOINER_H_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "graph/engine/libav_handles.h"

namespace quorvex::engine {

// Joins the segments of a spliced recording into one rising timeline. TV
// recordings cut at a channel change or an advert, and files joined with
// `cat`, restart their clock mid-file: a stream's decoding time jumps back.
// From there on every stream gets one common offset that places the new
// segment right after the end of the old one, so no frame lands on top of an
// earlier one and audio and video keep the distance they have in the source.
// Forward jumps are left alone: a gap in a recording stays a gap.
//
// Packets go in in file order. After a jump the joiner holds the packets
// back, within a bounded window, until every stream has shown its own jump,
// so the offset fits the earliest start of the new segment whichever stream
// reaches it first.
class SpliceJoiner {
 public:
  struct StreamInfo {
    AVRational timeBase;
    // Whether the stream's jump is awaited before the offset is fixed:
    // video and audio, not sparse streams that may never show one.
    bool awaited;
  };

  explicit SpliceJoiner(std::vector<StreamInfo> streams);

  // True when the packet goes on at once, its times shifted in place (the
  // common case); false when the joiner took its reference to hold it back,
  // leaving `packet` blank.
  bool Push(AVPacket* packet);
  // No more packets come: whatever is held back is released.
  void Finish();
  // Moves the next released packet, its times shifted, into `packet`.
  bool Pop(AVPacket* packet);

 private:
  struct StreamState {
    int64_t offset = 0;    // in kCommonTimeBase units
    int64_t lastTime = 0;  // decoding time of the last packet, shifted
    bool seen = false;
    bool inNewSegment = false;  // while a jump is held back
  };

  int64_t ToCommon(int64_t time, size_t stream) const;
  // The packet's decoding time (its presentation time when it has none) in
  // the common time base, unshifted; false when it carries no time.
  bool DecodingTime(const AVPacket& packet, int64_t* time) const;
  bool JumpsBack(size_t stream, int64_t time, int64_t offset) const;
  // Shifts the packet by its stream's offset and notes where it ends.
  void Place(AVPacket* packet);
  void Hold(PacketHandle packet, bool newSegment);
  bool AllAwaitedJumped() const;
  void FixOffset();

  std::vector<StreamInfo> info_;
  std::vector<StreamState> state_;
  int64_t currentOffset_ = 0;
  int64_t latestEnd_ = 0;  // the end of the latest packet placed, shifted
  bool anyPlaced_ = false;

  bool holding_ = false;
  int64_t newSegmentStart_ = 0;  // earliest unshifted time of the new segment
  size_t heldBytes_ = 0;
  struct Held {
    PacketHandle packet;
    bool newSegment;
  };
  std::deque<Held> held_;
  std::deque<PacketHandle> released_;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_SPLICE_JOINER_H_
