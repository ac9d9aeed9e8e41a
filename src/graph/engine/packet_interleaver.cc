#include "graph/engine/packet_interleaver.h"

#include <limits>

extern "C" {
#include <libavutil/mathematics.h>
}

namespace quorvex::engine {
namespace {

constexpr int64_t kUnknown = std::numeric_limits<int64_t>::min();

}  // namespace

PacketInterleaver::PacketInterleaver(size_t streamCount, size_t byteBudget, int64_t maxSpan)
    : streams_(streamCount),
      lastTimes_(streamCount, kUnknown),
      byteBudget_(byteBudget),
      maxSpan_(maxSpan),
      latestTime_(kUnknown) {}

bool PacketInterleaver::Push(AVPacket* packet, AVRational timeBase) {
  PacketHandle held;
  if (spare_.empty()) {
    held = MakePacket();
    if (held == nullptr) return false;
  } else {
    held = std::move(spare_.back());
    spare_.pop_back();
  }
  const auto stream = static_cast<size_t>(packet->stream_index);
  const int64_t stamp = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
  int64_t time = lastTimes_[stream];
  if (stamp != AV_NOPTS_VALUE) time = av_rescale_q(stamp, timeBase, AV_TIME_BASE_Q);
  // A packet without any time goes with the one before it.
  if (time == kUnknown) time = latestTime_ == kUnknown ? 0 : latestTime_;
  lastTimes_[stream] = time;
  if (latestTime_ == kUnknown || time > latestTime_) latestTime_ = time;

  av_packet_move_ref(held.get(), packet);
  bytes_ += static_cast<size_t>(held->size);
  if (streams_[stream].empty()) ++streamsWaiting_;
  streams_[stream].push_back(Waiting{std::move(held), time});
  return true;
}

bool PacketInterleaver::PopReady(AVPacket* packet) {
  const int earliest = EarliestStream();
  if (earliest < 0) return false;
  const bool everyStreamWaiting = streamsWaiting_ == streams_.size();
  const bool overBudget = bytes_ > byteBudget_;
  const bool spanTooLong = latestTime_ - streams_[static_cast<size_t>(earliest)].front().time > maxSpan_;
  if (!everyStreamWaiting && !overBudget && !spanTooLong) return false;
  Take(earliest, packet);
  return true;
}

bool PacketInterleaver::PopAny(AVPacket* packet) {
  const int earliest = EarliestStream();
  if (earliest < 0) return false;
  Take(earliest, packet);
  return true;
}

int PacketInterleaver::EarliestStream() const {
  int earliest = -1;
  for (size_t i = 0; i < streams_.size(); ++i) {
    if (streams_[i].empty()) continue;
    // Ties go to the lower stream, as they came in the order of the tracks.
    if (earliest < 0 || streams_[i].front().time < streams_[static_cast<size_t>(earliest)].front().time) {
      earliest = static_cast<int>(i);
    }
  }
  return earliest;
}

void PacketInterleaver::Take(int stream, AVPacket* packet) {
  std::deque<Waiting>& waiting = streams_[static_cast<size_t>(stream)];
  PacketHandle held = std::move(waiting.front().packet);
  waiting.pop_front();
  if (waiting.empty()) --streamsWaiting_;
  bytes_ -= static_cast<size_t>(held->size);
  av_packet_move_ref(packet, held.get());
  spare_.push_back(std::move(held));
}

}  // namespace quorvex::engine
