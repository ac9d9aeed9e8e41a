#ifndef QUORVEX_GRAPH_ENGINE_MPEG4_FRAME_ORDER_H_
#define QUORVEX_GRAPH_ENGINE_MPEG4_FRAME_ORDER_H_

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quorvex::engine {

enum class VopType { kIntra = 0, kPredicted = 1, kBidirectional = 2, kSprite = 3 };

// The coding types of the MPEG-4 Part 2 pictures (VOPs) in one packet, in
// the order they stand there.
std::vector<VopType> VopTypes(std::span<const uint8_t> packet);

// Display keys for MPEG-4 Part 2 video in decoding order: a B-frame is shown
// before the reference frame decoded just ahead of it. Streams written with
// packed B-frames (a reference frame and the following B-frame in one
// packet, then a tiny placeholder) are keyed as they will be once unpacked:
// the placeholder's slot holds the B-frame.
class Mpeg4FrameOrder {
 public:
  int64_t Next(std::span<const uint8_t> packet);

 private:
  int64_t KeyFor(VopType type);

  std::optional<VopType> packedFrame_;
  int64_t anchorKey_ = 0;
  int64_t bidirectionalCount_ = 0;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_MPEG4_FRAME_ORDER_H_
