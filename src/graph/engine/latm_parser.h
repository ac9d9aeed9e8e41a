#ifndef QUORVEX_GRAPH_ENGINE_LATM_PARSER_H_
#define QUORVEX_GRAPH_ENGINE_LATM_PARSER_H_

#include <cstdint>
#include <span>
#include <vector>

#include "graph/engine/aac_config.h"
#include "graph/engine/bit_reader.h"

namespace quorvex::engine {

// Unwraps AAC carried in LATM inside LOAS frames, as DVB broadcasts send it:
// each frame brings, now and then, a StreamMuxConfig (whose
// AacConfig is what a decoder of the raw stream needs) and one raw
// AAC access unit. Handled is the shape broadcasters use: audioMuxVersion 0
// (or 1 without its extensions), one program with one layer, one access
// unit per frame, lengths given per frame (frameLengthType 0). Everything
// else is refused rather than guessed at.
class LatmParser {
 public:
  enum class Result {
    kFrame,        // accessUnit() and config() hold the frame's content
    kNoConfig,     // the frame refers to a configuration not seen yet
    kMalformed,    // not a whole, well-formed LOAS frame
    kUnsupported,  // a configuration this parser does not handle
  };

  // Parses exactly one LOAS frame (AudioSyncStream element) filling `bytes`.
  Result Parse(std::span<const uint8_t> bytes);

  // The AacConfig of the configuration in force, byte-aligned.
  const std::vector<uint8_t>& config() const { return config_; }
  const AacConfig& configInfo() const { return configInfo_; }
  // The last frame's raw access unit.
  const std::vector<uint8_t>& accessUnit() const { return accessUnit_; }

 private:
  struct MuxConfig {
    bool versionOne = false;
    bool otherDataPresent = false;
    uint32_t otherDataBits = 0;
  };

  Result ReadStreamMuxConfig(BitReader& reader);

  bool haveConfig_ = false;
  MuxConfig mux_;
  std::vector<uint8_t> config_;
  AacConfig configInfo_;
  std::vector<uint8_t> accessUnit_;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_LATM_PARSER_H_
