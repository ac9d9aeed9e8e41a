#include "graph/engine/splice_joiner.h"

#include <algorithm>

extern "C" {
#include <libavutil/mathematics.h>
}

namespace quorvex::engine {
namespace {

// MPEG's own clock, so the usual sources shift without rounding.
constexpr AVRational kCommonTimeBase = {1, 90000};
// A step back smaller than this is jitter, left to the per-stream repair;
// no splice moves back by less than a few frames.
constexpr int64_t kJumpTolerance = 90000 / 20;
// Bounds on what is held back while the new segment's streams show up: a
// stream that never jumps (it ended at the splice) must not hold the rest.
constexpr size_t kMaxHeldPackets = 512;
constexpr size_t kMaxHeldBytes = 3u << 20;

}  // namespace

SpliceJoiner::SpliceJoiner(std::vector<StreamInfo> streams) : info_(std::move(streams)), state_(info_.size()) {}

int64_t SpliceJoiner::ToCommon(int64_t time, size_t stream) const {
  return av_rescale_q(time, info_[stream].timeBase, kCommonTimeBase);
}

bool SpliceJoiner::DecodingTime(const AVPacket& packet, int64_t* time) const {
  const int64_t raw = packet.dts != AV_NOPTS_VALUE ? packet.dts : packet.pts;
  if (raw == AV_NOPTS_VALUE) return false;
  *time = ToCommon(raw, static_cast<size_t>(packet.stream_index));
  return true;
}

bool SpliceJoiner::JumpsBack(size_t stream, int64_t time, int64_t offset) const {
  return time + offset < state_[stream].lastTime - kJumpTolerance;
}

void SpliceJoiner::Place(AVPacket* packet) {
  const auto stream = static_cast<size_t>(packet->stream_index);
  StreamState& state = state_[stream];
  const int64_t shift = av_rescale_q(state.offset, kCommonTimeBase, info_[stream].timeBase);
  if (packet->pts != AV_NOPTS_VALUE) packet->pts += shift;
  if (packet->dts != AV_NOPTS_VALUE) packet->dts += shift;
  int64_t time = 0;
  if (!DecodingTime(*packet, &time)) return;
  state.lastTime = time;
  // A frame shown after later-decoded ones (B-frames reorder) still ends
  // where its presentation ends.
  int64_t shown = time;
  if (packet->pts != AV_NOPTS_VALUE) shown = std::max(shown, ToCommon(packet->pts, stream));
  const int64_t end = shown + ToCommon(std::max<int64_t>(packet->duration, 0), stream);
  latestEnd_ = anyPlaced_ ? std::max(latestEnd_, end) : end;
  anyPlaced_ = true;
}

void SpliceJoiner::Hold(PacketHandle packet, bool newSegment) {
  heldBytes_ += static_cast<size_t>(std::max(packet->size, 0));
  held_.push_back(Held{std::move(packet), newSegment});
}

bool SpliceJoiner::AllAwaitedJumped() const {
  for (size_t i = 0; i < info_.size(); ++i) {
    if (info_[i].awaited && state_[i].seen && !state_[i].inNewSegment) return false;
  }
  return true;
}

bool SpliceJoiner::Push(AVPacket* packet) {
  const auto stream = static_cast<size_t>(packet->stream_index);
  // A stream that appeared after the file was opened is nobody's: it goes
  // on unchanged, in its place.
  const bool known = packet->stream_index >= 0 && stream < info_.size();
  int64_t time = 0;
  const bool timed = known && DecodingTime(*packet, &time);

  if (!holding_) {
    if (known) {
      StreamState& state = state_[stream];
      if (!state.seen) {
        state.seen = true;
        state.offset = currentOffset_;
        state.lastTime = timed ? time + currentOffset_ : 0;
      } else if (timed && JumpsBack(stream, time, state.offset)) {
        if (state.offset != currentOffset_ && !JumpsBack(stream, time, currentOffset_)) {
          // This stream reaches a splice that the others have crossed already.
          state.offset = currentOffset_;
        } else {
          holding_ = true;
          state.inNewSegment = true;
          newSegmentStart_ = time;
          if (packet->pts != AV_NOPTS_VALUE)
            newSegmentStart_ = std::min(newSegmentStart_, ToCommon(packet->pts, stream));
        }
      }
    }
    if (!holding_) {
      if (known) Place(packet);
      if (released_.empty()) return true;
      PacketHandle taken = MakePacket();
      av_packet_move_ref(taken.get(), packet);
      released_.push_back(std::move(taken));
      return false;
    }
    PacketHandle taken = MakePacket();
    av_packet_move_ref(taken.get(), packet);
    Hold(std::move(taken), true);
    if (AllAwaitedJumped()) FixOffset();
    return false;
  }

  PacketHandle taken = MakePacket();
  av_packet_move_ref(taken.get(), packet);
  bool newSegment = false;
  if (known) {
    StreamState& state = state_[stream];
    if (!state.seen) {
      // First heard of after the splice: it belongs to the new segment.
      state.seen = true;
      state.inNewSegment = true;
    } else if (!state.inNewSegment && timed && JumpsBack(stream, time, state.offset)) {
      state.inNewSegment = true;
    }
    newSegment = state.inNewSegment;
    if (newSegment && timed) {
      newSegmentStart_ = std::min(newSegmentStart_, time);
      if (taken->pts != AV_NOPTS_VALUE) newSegmentStart_ = std::min(newSegmentStart_, ToCommon(taken->pts, stream));
    } else if (!newSegment) {
      Place(taken.get());
    }
  }
  Hold(std::move(taken), newSegment);
  if (AllAwaitedJumped() || held_.size() >= kMaxHeldPackets || heldBytes_ >= kMaxHeldBytes) FixOffset();
  return false;
}

void SpliceJoiner::FixOffset() {
  // The new segment's earliest time lands where the old segment ends.
  currentOffset_ = latestEnd_ - newSegmentStart_;
  for (StreamState& state : state_) {
    if (!state.inNewSegment) continue;
    state.offset = currentOffset_;
    state.inNewSegment = false;
  }
  for (Held& held : held_) {
    if (held.newSegment) Place(held.packet.get());
    released_.push_back(std::move(held.packet));
  }
  held_.clear();
  heldBytes_ = 0;
  holding_ = false;
}

void SpliceJoiner::Finish() {
  if (holding_) FixOffset();
}

bool SpliceJoiner::Pop(AVPacket* packet) {
  if (released_.empty()) return false;
  av_packet_move_ref(packet, released_.front().get());
  released_.pop_front();
  return true;
}

}  // namespace quorvex::engine
