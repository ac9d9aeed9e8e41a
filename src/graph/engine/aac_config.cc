#include "graph/engine/aac_config.h"

#include <array>

namespace quorvex::engine {
namespace {

constexpr std::array<int, 13> kSampleRates = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                              22050, 16000, 12000, 11025, 8000,  7350};
constexpr int kExplicitRate = 15;

uint32_t ReadObjectType(BitReader& reader) {
  const uint32_t type = reader.Read(5);
  return type == 31 ? 32 + reader.Read(6) : type;
}

ConfigParse ReadSampleRate(BitReader& reader, int* rate) {
  const uint32_t index = reader.Read(4);
  if (index == kExplicitRate) {
    *rate = static_cast<int>(reader.Read(24));
    return *rate > 0 ? ConfigParse::kOk : ConfigParse::kMalformed;
  }
  if (index >= kSampleRates.size()) return ConfigParse::kMalformed;
  *rate = kSampleRates[index];
  return ConfigParse::kOk;
}

}  // namespace

ConfigParse ReadAacConfig(BitReader& reader, AacConfig* config) {
  uint32_t type = ReadObjectType(reader);
  ConfigParse parse = ReadSampleRate(reader, &config->sampleRate);
  if (parse != ConfigParse::kOk) return parse;
  const uint32_t channelConfiguration = reader.Read(4);
  // Explicit SBR (5) or parametric stereo (29): the output rate, then the core type.
  if (type == 5 || type == 29) {
    int extensionRate = 0;
    parse = ReadSampleRate(reader, &extensionRate);
    if (parse != ConfigParse::kOk) return parse;
    type = ReadObjectType(reader);
  }
  if (type < 1 || type > 4) return ConfigParse::kUnsupported;
  // 0 would need a program config element; above 7 are later additions.
  if (channelConfiguration == 0 || channelConfiguration > 7) return ConfigParse::kUnsupported;
  // The general-audio part that follows for these object types.
  reader.Read(1);                              // frameLengthFlag
  if (reader.ReadBit() != 0) reader.Read(14);  // dependsOnCoreCoder: coreCoderDelay
  if (reader.ReadBit() != 0) reader.Read(1);   // extensionFlag: extensionFlag3
  if (reader.overrun()) return ConfigParse::kMalformed;
  config->objectType = static_cast<int>(type);
  config->channels = channelConfiguration == 7 ? 8 : static_cast<int>(channelConfiguration);
  return ConfigParse::kOk;
}

}  // namespace quorvex::engine
