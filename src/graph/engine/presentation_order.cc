#include "graph/engine/presentation_order.h"

namespace quorvex::engine {

void PresentationOrder::ShowNext() {
  const auto first = held_.begin();
  Frame& frame = frames_[static_cast<size_t>(first->second - released_)];
  frame.packet->pts = slots_.front();
  slots_.pop_front();
  frame.shown = true;
  anyShown_ = true;
  lastShownKey_ = first->first;
  held_.erase(first);
}

void PresentationOrder::Push(PacketHandle packet, int64_t key, bool restart) {
  // A key below one already shown cannot be shown in its order any more:
  // the keys started anew without saying so.
  if (restart || (anyShown_ && key < lastShownKey_)) {
    while (!held_.empty()) ShowNext();
    anyShown_ = false;  // keys compare only within one run of them
  }
  const int64_t decoded = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
  const int64_t frameLength = packet->duration > 0 ? packet->duration : 1;
  if (decoded != AV_NOPTS_VALUE) {
    slots_.push_back(decoded);
    packet->dts = decoded - delay_ * frameLength;
  }
  if (decoded == AV_NOPTS_VALUE) {
    // Nothing to place it by: it is shown as it came.
    frames_.push_back(Frame{std::move(packet), true});
  } else {
    held_.emplace(key, arrived_);
    frames_.push_back(Frame{std::move(packet), false});
  }
  ++arrived_;
  while (held_.size() > static_cast<size_t>(delay_)) ShowNext();
}

void PresentationOrder::Finish() {
  while (!held_.empty()) ShowNext();
}

PacketHandle PresentationOrder::Pop() {
  if (frames_.empty() || !frames_.front().shown) return nullptr;
  PacketHandle packet = std::move(frames_.front().packet);
  frames_.pop_front();
  ++released_;
  return packet;
}

}  // namespace quorvex::engine
