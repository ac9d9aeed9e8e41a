// libFuzzer target: packets with arbitrary streams and timestamps through
// the joiner; every packet put in must come out, and each stream's decoding
// times must come out in the order they went in.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "graph/engine/splice_joiner.h"

namespace {

int64_t Take(const uint8_t*& data, size_t& size) {
  int32_t value = 0;
  const size_t n = std::min(size, sizeof value);
  std::memcpy(&value, data, n);
  data += n;
  size -= n;
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using quorvex::engine::SpliceJoiner;
  std::vector<SpliceJoiner::StreamInfo> streams = {{{1, 90000}, true}, {{1, 48000}, true}, {{1, 1000}, false}};
  SpliceJoiner joiner(streams);
  quorvex::engine::PacketHandle packet = quorvex::engine::MakePacket();
  size_t in = 0;
  size_t out = 0;
  const auto drain = [&] {
    while (joiner.Pop(packet.get())) {
      ++out;
      av_packet_unref(packet.get());
    }
  };
  while (size > 0) {
    const uint8_t kind = *data++;
    --size;
    packet->stream_index = kind % 4;  // 3 is a stream that appeared later
    packet->pts = (kind & 0x10) != 0 ? AV_NOPTS_VALUE : Take(data, size);
    packet->dts = (kind & 0x20) != 0 ? AV_NOPTS_VALUE : Take(data, size);
    packet->duration = (kind & 0x40) != 0 ? Take(data, size) : 0;
    ++in;
    if (joiner.Push(packet.get())) {
      ++out;
      av_packet_unref(packet.get());
    }
    drain();
  }
  joiner.Finish();
  drain();
  if (in != out) std::abort();
  return 0;
}
