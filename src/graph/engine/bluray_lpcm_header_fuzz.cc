// Reads and widens Blu-ray LPCM frame headers of any bytes and length.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "graph/engine/bluray_lpcm_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly the input's length, so a read or write past it shows.
  std::vector<uint8_t> header(data, data + size);
  const int bits = quorvex::engine::BlurayLpcmSampleBits(header.data(), header.size());
  const bool widened = quorvex::engine::WidenTwentyBitHeader(header.data(), header.size());
  if (widened != (bits == 20)) __builtin_trap();
  if (widened && quorvex::engine::BlurayLpcmSampleBits(header.data(), header.size()) != 24) __builtin_trap();
  return 0;
}
