#include "graph/engine/raw_stream_writer.h"

namespace quorvex::engine {

const char* RawFormatFor(AVCodecID codec) {
  switch (codec) {
    case AV_CODEC_ID_H264: return "h264";
    case AV_CODEC_ID_HEVC: return "hevc";
    case AV_CODEC_ID_AAC: return "adts";
    default: return "data";
  }
}

bool RawStreamWriter::Open(const std::filesystem::path& path, const AVStream& source) {
  if (!file_.Create(path, RawFormatFor(source.codecpar->codec_id))) return false;
  AVStream* target = avformat_new_stream(file_.format(), nullptr);
  if (target == nullptr || avcodec_parameters_copy(target->codecpar, source.codecpar) < 0) return false;
  target->codecpar->codec_tag = 0;
  target->time_base = source.time_base;
  if (!file_.WriteHeader(nullptr)) return false;
  sourceTimeBase_ = source.time_base;
  outputTimeBase_ = target->time_base;
  return true;
}

bool RawStreamWriter::Write(AVPacket* packet) {
  av_packet_rescale_ts(packet, sourceTimeBase_, outputTimeBase_);
  packet->stream_index = 0;
  packet->pos = -1;
  return file_.Write(packet, false);
}

}  // namespace quorvex::engine
