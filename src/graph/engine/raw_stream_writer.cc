#include "graph/engine/raw_stream_writer.h"

namespace quorvex::engine {

const char* RawFormatFor(AVCodecID codec) {
  switch (codec) {
    case AV_CODEC_ID_H264:
      return "h264";
    case AV_CODEC_ID_HEVC:
      return "hevc";
    case AV_CODEC_ID_AAC:
      return "adts";
    // Headerless PCM would be bytes no player can place.
    case AV_CODEC_ID_PCM_S16LE:
    case AV_CODEC_ID_PCM_S24LE:
      return "wav";
    default:
      return "data";
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
  AVDictionary* options = nullptr;
  // Beyond 4 GiB a WAV file turns into RF64, which keeps its true size.
  if (codecId == AV_CODEC_ID_PCM_S16LE || codecId == AV_CODEC_ID_PCM_S24LE) av_dict_set(&options, "rf64", "auto", 0);
  const bool headerWritten = file_.WriteHeader(&options);
  av_dict_free(&options);
  if (!headerWritten) return false;
  sourceTimeBase_ = source.time_base;
  outputTimeBase_ = target->time_base;
  return true;
}

bool RawStreamWriter::Write(AVPacket* packet) {
  if (repack_ != nullptr && !repack_->Repack(packet)) {
    av_packet_unref(packet);
    return false;
  }
  if (packet->size == 0) {  // held back for the next packet, or left out
    av_packet_unref(packet);
    return true;
  }
  av_packet_rescale_ts(packet, sourceTimeBase_, outputTimeBase_);
  packet->stream_index = 0;
  packet->pos = -1;
  return file_.Write(packet, false);
}

}  // namespace quorvex::engine
