#include "graph/engine/latm_parser.h"

namespace quorvex::engine {
namespace {

constexpr uint32_t kLoasSync = 0x2B7;
constexpr size_t kLoasHeaderBytes = 3;
// Far more than any real frame's other data; bounds a hostile length.
constexpr uint32_t kMaxOtherDataBits = 1u << 20;

uint32_t LatmValue(BitReader& reader) {
  const uint32_t bytes = reader.Read(2) + 1;
  uint32_t value = 0;
  for (uint32_t i = 0; i < bytes; ++i) value = (value << 8) | reader.Read(8);
  return value;
}

// Copies `bits` bits from the reader into whole bytes, the last one padded
// with zeros.
std::vector<uint8_t> CopyBits(BitReader& reader, size_t bits) {
  std::vector<uint8_t> bytes((bits + 7) / 8, 0);
  for (size_t i = 0; i < bits; ++i) bytes[i / 8] |= static_cast<uint8_t>(reader.ReadBit() << (7 - i % 8));
  return bytes;
}

}  // namespace

LatmParser::Result LatmParser::ReadStreamMuxConfig(BitReader& reader) {
  MuxConfig mux;
  mux.versionOne = reader.ReadBit() != 0;
  if (mux.versionOne) {
    if (reader.ReadBit() != 0) return Result::kUnsupported;  // audioMuxVersionA
    LatmValue(reader);                                       // taraBufferFullness
  }
  const bool sameTimeFraming = reader.ReadBit() != 0;
  const uint32_t subFrames = reader.Read(6);
  const uint32_t programs = reader.Read(4);
  const uint32_t layers = reader.Read(3);
  if (reader.overrun()) return Result::kMalformed;
  if (!sameTimeFraming || subFrames != 0 || programs != 0 || layers != 0) return Result::kUnsupported;

  // Version 1 states the config's length; version 0 leaves it to be found
  // by reading the config itself.
  const size_t lengthBits = mux.versionOne ? LatmValue(reader) : 0;
  BitReader ascReader = reader;
  AacConfig info;
  const ConfigParse parse = ReadAacConfig(ascReader, &info);
  if (parse == ConfigParse::kUnsupported) return Result::kUnsupported;
  if (parse != ConfigParse::kOk || ascReader.overrun()) return Result::kMalformed;
  const size_t ascBits = ascReader.position() - reader.position();
  if (mux.versionOne && ascBits > lengthBits) return Result::kMalformed;
  std::vector<uint8_t> config = CopyBits(reader, ascBits);
  if (mux.versionOne) reader.Skip(lengthBits - ascBits);  // fill bits

  if (reader.Read(3) != 0) return Result::kUnsupported;  // frameLengthType
  reader.Read(8);                                        // latmBufferFullness
  mux.otherDataPresent = reader.ReadBit() != 0;
  if (mux.otherDataPresent) {
    if (mux.versionOne) {
      mux.otherDataBits = LatmValue(reader);
    } else {
      bool escape = true;
      while (escape && !reader.overrun()) {
        escape = reader.ReadBit() != 0;
        mux.otherDataBits = (mux.otherDataBits << 8) | reader.Read(8);
        if (mux.otherDataBits > kMaxOtherDataBits) return Result::kMalformed;
      }
    }
    if (mux.otherDataBits > kMaxOtherDataBits) return Result::kMalformed;
  }
  if (reader.ReadBit() != 0) reader.Read(8);  // crcCheckPresent: crcCheckSum
  if (reader.overrun()) return Result::kMalformed;

  haveConfig_ = true;
  mux_ = mux;
  config_ = std::move(config);
  configInfo_ = info;
  return Result::kFrame;
}

LatmParser::Result LatmParser::Parse(std::span<const uint8_t> bytes) {
  BitReader reader(bytes);
  if (reader.Read(11) != kLoasSync) return Result::kMalformed;
  const uint32_t length = reader.Read(13);
  if (reader.overrun() || bytes.size() != kLoasHeaderBytes + length) return Result::kMalformed;

  // AudioMuxElement with muxConfigPresent set, as LOAS carries it.
  if (reader.ReadBit() == 0) {  // useSameStreamMux
    const Result read = ReadStreamMuxConfig(reader);
    if (read != Result::kFrame) return read;
  } else if (!haveConfig_) {
    return Result::kNoConfig;
  }

  // PayloadLengthInfo: the access unit's length in bytes, in 255 steps.
  size_t payloadBytes = 0;
  uint32_t step = 255;
  while (step == 255) {
    step = reader.Read(8);
    payloadBytes += step;
    if (reader.overrun()) return Result::kMalformed;
  }
  if (payloadBytes * 8 > reader.bitsLeft()) return Result::kMalformed;
  accessUnit_ = CopyBits(reader, payloadBytes * 8);
  if (mux_.otherDataPresent) reader.Skip(mux_.otherDataBits);
  reader.AlignToByte();
  if (reader.overrun()) return Result::kMalformed;
  return Result::kFrame;
}

}  // namespace quorvex::engine
