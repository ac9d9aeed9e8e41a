#ifndef QUORVEX_GRAPH_ENGINE_AAC_CONFIG_H_
#define QUORVEX_GRAPH_ENGINE_AAC_CONFIG_H_

#include <cstdint>

#include "graph/engine/bit_reader.h"

namespace quorvex::engine {

// What an AAC stream's decoder configuration says about it, as far as
// storing it needs: the core object type, its sample rate and channels.
struct AacConfig {
  int objectType = 0;  // 1 main, 2 LC, 3 SSR, 4 LTP (under any SBR/PS wrapper)
  int sampleRate = 0;
  int channels = 0;
};

enum class ConfigParse { kOk, kMalformed, kUnsupported };

// Reads an AacConfig at the reader's position and leaves the
// reader just behind it. Only plain AAC (main, LC, SSR, LTP, also wrapped in
// explicit SBR or PS signalling) with a standard channel configuration is
// understood; the others (error-resilient and other codecs, channel layouts
// given by a program config element) are kUnsupported, since their length
// cannot be known without reading them whole.
ConfigParse ReadAacConfig(BitReader& reader, AacConfig* config);

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_AAC_CONFIG_H_
