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
  repack_ = RepackFor(source);
  AVCodecParameters* codec = avcodec_parameters_alloc();
  if (codec == nullptr) return false;
  const bool described = repack_ != nullptr ? repack_->DescribeOutput(source, codec)
                                            : avcodec_parameters_copy(codec, source.codecpar) >= 0;
  const AVCodecID codecId = codec->codec_id;
  AVStream* target = nullptr;
  if (described && file_.Create(path, RawFormatFor(codecId))) target = avformat_new_stream(file_.format(), nullptr);
  const bool copied = target != nullptr && avcodec_parameters_copy(target->codecpar, codec) >= 0;
  avcodec_parameters_free(&codec);
  if (!copied) return false;
  target->codecpar->codec_tag = 0;
  target->time_base = source.time_base;
  if (!file_.WriteHeader(nullptr)) return false;
  sourceTimeBase_ = source.time_base;
  outputTimeBase_ = target->time_base;
  return true;
}

bool RawStreamWriter::Write(AVPacket* packet) {
  if (repack_ != nullptr && !repack_->Repack(packet)) {
    av_packet_unref(packet);
    return false;
  }
  if (repack_ != nullptr && packet->size == 0) {
    av_packet_unref(packet);
    return true;  // nothing to store
  }
  av_packet_rescale_ts(packet, sourceTimeBase_, outputTimeBase_);
  packet->stream_index = 0;
  packet->pos = -1;
  return file_.Write(packet, false);
}

}  // namespace quorvex::engine
