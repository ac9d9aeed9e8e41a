#include "graph/engine/aac_latm_repack.h"

#include <cstring>
#include <span>

#include "platform/diagnostics.h"

namespace quorvex::engine {
namespace {

// Whether the bytes are a config this repack stores: plain AAC, read whole.
bool UsableConfig(std::span<const uint8_t> bytes) {
  BitReader reader(bytes);
  AacConfig config;
  return !bytes.empty() && ReadAacConfig(reader, &config) == ConfigParse::kOk;
}

bool ReplaceData(AVPacket* packet, const std::vector<uint8_t>& data) {
  AVBufferRef* buffer = av_buffer_alloc(data.size() + AV_INPUT_BUFFER_PADDING_SIZE);
  if (buffer == nullptr) return false;
  if (!data.empty()) std::memcpy(buffer->data, data.data(), data.size());
  std::memset(buffer->data + data.size(), 0, AV_INPUT_BUFFER_PADDING_SIZE);
  av_buffer_unref(&packet->buf);
  packet->buf = buffer;
  packet->data = buffer->data;
  packet->size = static_cast<int>(data.size());
  return true;
}

}  // namespace

bool AacLatmRepack::DescribeOutput(const AVStream& source, AVCodecParameters* output) {
  const AVCodecParameters& codec = *source.codecpar;
  const std::span<const uint8_t> config(codec.extradata, codec.extradata != nullptr ? codec.extradata_size : 0);
  // Without a config seen while probing the header cannot be written.
  if (!UsableConfig(config)) return false;
  if (avcodec_parameters_copy(output, &codec) < 0) return false;
  output->codec_id = AV_CODEC_ID_AAC;
  output->codec_tag = 0;
  config_.assign(config.begin(), config.end());
  return true;
}

bool AacLatmRepack::Repack(AVPacket* packet) {
  const LatmParser::Result result = parser_.Parse({packet->data, static_cast<size_t>(std::max(packet->size, 0))});
  switch (result) {
    case LatmParser::Result::kFrame:
      break;
    case LatmParser::Result::kNoConfig:
      // A recording that starts between two configs: no decoder can use
      // these frames either, so nothing is lost by leaving them out.
      return ReplaceData(packet, {});
    case LatmParser::Result::kMalformed:
      if (!damageReported_) {
        Diagnose("A damaged AAC (LATM) audio frame is left out; so are any later ones.");
        damageReported_ = true;
      }
      return ReplaceData(packet, {});
    case LatmParser::Result::kUnsupported:
      Diagnose("The AAC (LATM) audio changes to a layout that cannot be stored.");
      return false;
  }
  if (parser_.config() != config_) {
    Diagnose("The AAC (LATM) audio changes its configuration mid-stream; one track cannot hold both.");
    return false;
  }
  return ReplaceData(packet, parser_.accessUnit());
}

}  // namespace quorvex::engine
