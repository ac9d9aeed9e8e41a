#include "graph/engine/bluray_lpcm_header.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace quorvex::engine {
namespace {

// Size 0x03C0, 5.1 at 48 kHz, then the width field with stray low bits set,
// so a rewrite that touches more than the field shows.
std::array<uint8_t, 4> Header(uint8_t widthCode) {
  return {0x03, 0xC0, 0x91, static_cast<uint8_t>((widthCode << 6) | 0x15)};
}

TEST(BlurayLpcmHeaderTest, ReadsEveryWidthAndWidensOnlyTwentyBits) {
  struct Case {
    uint8_t code;
    int bits;
    bool widened;
  };
  for (const Case c : {Case{0, 0, false}, Case{1, 16, false}, Case{2, 20, true}, Case{3, 24, false}}) {
    SCOPED_TRACE(c.code);
    std::array<uint8_t, 4> header = Header(c.code);
    EXPECT_EQ(BlurayLpcmSampleBits(header.data(), header.size()), c.bits);
    EXPECT_EQ(WidenTwentyBitHeader(header.data(), header.size()), c.widened);
    const std::array<uint8_t, 4> expected = Header(c.widened ? 3 : c.code);
    EXPECT_EQ(header, expected);
  }
}

TEST(BlurayLpcmHeaderTest, TooShortHeadersAreNeitherReadNorWritten) {
  std::vector<uint8_t> bytes = {0x03, 0xC0, 0x91, 0x95};  // a valid 20-bit header
  for (size_t size = 0; size < kBlurayLpcmHeaderSize; ++size) {
    SCOPED_TRACE(size);
    // A buffer exactly `size` long, so reading past it trips the sanitizer.
    std::vector<uint8_t> shorter(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_EQ(BlurayLpcmSampleBits(shorter.data(), shorter.size()), 0);
    EXPECT_FALSE(WidenTwentyBitHeader(shorter.data(), shorter.size()));
  }
  EXPECT_EQ(BlurayLpcmSampleBits(nullptr, 4), 0);
  EXPECT_FALSE(WidenTwentyBitHeader(nullptr, 4));
}

}  // namespace
}  // namespace quorvex::engine
