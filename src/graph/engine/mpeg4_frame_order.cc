#include "graph/engine/mpeg4_frame_order.h"

namespace quorvex::engine {
namespace {

constexpr uint8_t kVopStartCode = 0xB6;
// A placeholder left where a packed B-frame belongs is a VOP header alone.
constexpr size_t kMaxPlaceholderSize = 19;
// Room for the B-frames between two reference frames' keys.
constexpr int64_t kAnchorStep = 1 << 20;

}  // namespace

std::vector<VopType> VopTypes(std::span<const uint8_t> packet) {
  std::vector<VopType> types;
  for (size_t i = 0; i + 4 < packet.size(); ++i) {
    if (packet[i] == 0 && packet[i + 1] == 0 && packet[i + 2] == 1 && packet[i + 3] == kVopStartCode) {
      types.push_back(static_cast<VopType>(packet[i + 4] >> 6));
      i += 3;
    }
  }
  return types;
}

int64_t Mpeg4FrameOrder::KeyFor(VopType type) {
  if (type == VopType::kBidirectional) return anchorKey_ - kAnchorStep + ++bidirectionalCount_;
  anchorKey_ += kAnchorStep;
  bidirectionalCount_ = 0;
  return anchorKey_;
}

int64_t Mpeg4FrameOrder::Next(std::span<const uint8_t> packet) {
  const std::vector<VopType> types = VopTypes(packet);
  if (types.size() >= 2) {
    // Packed: this slot keeps the first picture, the next slot gets the second.
    packedFrame_ = types[1];
    return KeyFor(types[0]);
  }
  if (types.size() == 1 && packedFrame_.has_value()) {
    const VopType shown = *packedFrame_;
    // A real picture instead of the placeholder moves on by one slot.
    packedFrame_.reset();
    if (packet.size() > kMaxPlaceholderSize) packedFrame_ = types[0];
    return KeyFor(shown);
  }
  return KeyFor(types.empty() ? VopType::kPredicted : types[0]);
}

}  // namespace quorvex::engine
