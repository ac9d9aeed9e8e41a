#ifndef QUORVEX_GRAPH_ENGINE_BLURAY_LPCM_HEADER_H_
#define QUORVEX_GRAPH_ENGINE_BLURAY_LPCM_HEADER_H_

#include <cstddef>
#include <cstdint>

namespace quorvex::engine {

// Every Blu-ray LPCM frame starts with four bytes: the payload size (two
// bytes), the channel assignment and sample rate (one byte), and the sample
// width in the top two bits of the fourth byte (1 = 16, 2 = 20, 3 = 24 bits).
// 20-bit samples are stored like 24-bit ones, three bytes each with the low
// four bits unused, so a 20-bit frame reads as a 24-bit one once its width
// field says 24.
constexpr size_t kBlurayLpcmHeaderSize = 4;

// The sample width the header names: 16, 20 or 24; 0 when `size` is too
// short for a header or the field holds the reserved value.
int BlurayLpcmSampleBits(const uint8_t* header, size_t size);

// Rewrites the width field of a 20-bit header to 24 and leaves every other
// bit alone; true when it did. Headers of other widths, and too short ones,
// stay as they are.
bool WidenTwentyBitHeader(uint8_t* header, size_t size);

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_BLURAY_LPCM_HEADER_H_
