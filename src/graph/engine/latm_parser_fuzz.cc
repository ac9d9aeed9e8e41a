// libFuzzer target: LOAS frames of any content, one after another, through
// one parser, so configs carried over from earlier frames are exercised too.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "graph/engine/latm_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quorvex::engine::LatmParser parser;
  std::span<const uint8_t> rest(data, size);
  while (!rest.empty()) {
    // Each frame as long as its header says, or the rest when it says more.
    size_t length = rest.size();
    if (rest.size() >= 3) length = std::min(rest.size(), 3 + ((static_cast<size_t>(rest[1] & 0x1F) << 8) | rest[2]));
    if (parser.Parse(rest.first(length)) == quorvex::engine::LatmParser::Result::kFrame) {
      // Touch what the parser hands out, so a bad size shows.
      volatile uint8_t sink = 0;
      for (uint8_t byte : parser.accessUnit()) sink = static_cast<uint8_t>(sink ^ byte);
      for (uint8_t byte : parser.config()) sink = static_cast<uint8_t>(sink ^ byte);
    }
    rest = rest.subspan(length);
  }
  return 0;
}
