#ifndef QUORVEX_GRAPH_ENGINE_AAC_LATM_REPACK_H_
#define QUORVEX_GRAPH_ENGINE_AAC_LATM_REPACK_H_

#include <cstdint>
#include <vector>

#include "graph/engine/latm_parser.h"
#include "graph/engine/stream_repack.h"

namespace quorvex::engine {

// AAC as DVB sends it, in LATM/LOAS frames, becomes plain AAC: the
// AacConfig as the codec's private data, the raw access units as
// packets. The header is written before the first packet, so the config
// comes from the stream's description, which the splitter fills from the
// first StreamMuxConfig it meets while probing; every later config must
// match it, since one track has one config.
class AacLatmRepack : public StreamRepack {
 public:
  bool DescribeOutput(const AVStream& source, AVCodecParameters* output) override;
  bool Repack(AVPacket* packet) override;

 private:
  LatmParser parser_;
  std::vector<uint8_t> config_;
  bool damageReported_ = false;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_AAC_LATM_REPACK_H_
