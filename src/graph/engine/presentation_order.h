#ifndef QUORVEX_GRAPH_ENGINE_PRESENTATION_ORDER_H_
#define QUORVEX_GRAPH_ENGINE_PRESENTATION_ORDER_H_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>

#include "graph/engine/libav_handles.h"

namespace quorvex::engine {

// Gives presentation times to a video stream that has only decoding times,
// as AVI stores them: each frame is shown in the time slot of its rank in
// display order. A decoder that holds back `delay` frames shows the smallest
// display key among those it holds each time one more arrives; this models
// it, so a frame's time is known at most `delay` frames after it came, and
// the first frame shown takes the first frame's time (video starts where the
// file says it does). Decoding times move back by `delay` frames so none
// lies after its presentation. Packets leave in the order they came.
class PresentationOrder {
 public:
  explicit PresentationOrder(int delay) : delay_(delay) {}

  // `key` orders the frames for display (H.264's picture order count, say);
  // `restart` marks a frame from which the keys start anew (an IDR picture),
  // so everything held is shown first.
  void Push(PacketHandle packet, int64_t key, bool restart);
  // The stream ends: everything held is shown.
  void Finish();
  // The next packet in arrival order whose time is known.
  PacketHandle Pop();

 private:
  struct Frame {
    PacketHandle packet;
    bool shown = false;
  };

  void ShowNext();

  int delay_;
  uint64_t arrived_ = 0;   // frames pushed so far; also the next frame's number
  uint64_t released_ = 0;  // number of frames[0]
  std::deque<Frame> frames_;
  std::deque<int64_t> slots_;              // decoding times not yet given to a shown frame
  std::multimap<int64_t, uint64_t> held_;  // display key -> frame number
  bool anyShown_ = false;
  int64_t lastShownKey_ = 0;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_PRESENTATION_ORDER_H_
