#include "graph/engine/bluray_lpcm_header.h"

namespace quorvex::engine {
namespace {

constexpr int kWidthShift = 6;
constexpr uint8_t kWidthMask = 0xC0;
constexpr uint8_t kTwentyFourBits = 3;

}  // namespace

int BlurayLpcmSampleBits(const uint8_t* header, size_t size) {
  if (header == nullptr || size < kBlurayLpcmHeaderSize) return 0;
  static constexpr int kBits[4] = {0, 16, 20, 24};
  return kBits[header[3] >> kWidthShift];
}

bool WidenTwentyBitHeader(uint8_t* header, size_t size) {
  if (BlurayLpcmSampleBits(header, size) != 20) return false;
  header[3] = static_cast<uint8_t>((header[3] & ~kWidthMask) | (kTwentyFourBits << kWidthShift));
  return true;
}

}  // namespace quorvex::engine
