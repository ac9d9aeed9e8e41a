// libFuzzer target: MPEG-4 Part 2 packets of any content, split where the
// input says, through the frame-type scan and the packed-frame tracking.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "graph/engine/mpeg4_frame_order.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quorvex::engine::Mpeg4FrameOrder order;
  std::span<const uint8_t> rest(data, size);
  while (!rest.empty()) {
    const size_t length = std::min<size_t>(rest.size() - 1, rest[0]);
    order.Next(rest.subspan(1, length));
    rest = rest.subspan(1 + length);
  }
  return 0;
}
