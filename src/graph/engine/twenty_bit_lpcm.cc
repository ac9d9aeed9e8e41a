#include "graph/engine/twenty_bit_lpcm.h"

#include <memory>
#include <vector>

#include "graph/engine/bluray_lpcm_header.h"
#include "graph/engine/file_channel.h"
#include "graph/engine/libav_handles.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
}

namespace quorvex::engine {
namespace {

// As far as the first opening probes: a stream that starts later than that
// was not found by it either.
constexpr int64_t kSearchBytes = 10000000;

struct DecoderDeleter {
  void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameDeleter {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};

bool Undescribed(const AVCodecParameters& codec) {
  return codec.codec_id == AV_CODEC_ID_PCM_BLURAY && (codec.sample_rate <= 0 || codec.ch_layout.nb_channels <= 0);
}

// Unpacks one frame, widened to 24 bits, and describes `codec` from what the
// decoder learnt; false when the frame is no 20-bit one or does not decode.
bool DescribeFromFrame(AVPacket* packet, AVCodecParameters* codec) {
  if (av_packet_make_writable(packet) < 0) return false;
  if (!WidenTwentyBitHeader(packet->data, static_cast<size_t>(packet->size))) return false;
  const AVCodec* decoder = avcodec_find_decoder(AV_CODEC_ID_PCM_BLURAY);
  if (decoder == nullptr) return false;
  std::unique_ptr<AVCodecContext, DecoderDeleter> context(avcodec_alloc_context3(decoder));
  std::unique_ptr<AVFrame, FrameDeleter> frame(av_frame_alloc());
  if (context == nullptr || frame == nullptr || avcodec_open2(context.get(), decoder, nullptr) < 0) return false;
  if (avcodec_send_packet(context.get(), packet) < 0 || avcodec_receive_frame(context.get(), frame.get()) < 0) {
    return false;
  }
  if (frame->format != AV_SAMPLE_FMT_S32 || context->sample_rate <= 0 || context->ch_layout.nb_channels <= 0) {
    return false;
  }
  if (av_channel_layout_copy(&codec->ch_layout, &context->ch_layout) < 0) return false;
  codec->sample_rate = context->sample_rate;
  codec->format = AV_SAMPLE_FMT_S32;
  codec->bits_per_coded_sample = 20;
  codec->bits_per_raw_sample = 20;
  codec->bit_rate = context->bit_rate;  // as stored: three bytes a sample
  return true;
}

}  // namespace

bool IsTwentyBitBlurayLpcm(const AVCodecParameters& codec) {
  return codec.codec_id == AV_CODEC_ID_PCM_BLURAY && codec.bits_per_raw_sample == 20;
}

void DescribeTwentyBitBlurayLpcm(MediaFileSystem& files, const Interrupts& interrupts,
                                 const std::filesystem::path& path, AVFormatContext* format) {
  // Stream identifiers (the PID of a transport stream) find the same stream
  // in the second opening; streams without one cannot be matched up.
  std::vector<AVStream*> waiting;
  for (unsigned i = 0; i < format->nb_streams; ++i) {
    AVStream* stream = format->streams[i];
    if (Undescribed(*stream->codecpar) && stream->id != 0) waiting.push_back(stream);
  }
  if (waiting.empty()) return;

  FileError error;
  const std::unique_ptr<MediaFile> file = files.OpenForReading(path.string(), error);
  if (file == nullptr) return;
  const std::unique_ptr<FileChannel> channel = FileChannel::ForReading(*file, &interrupts);
  if (channel == nullptr) return;
  AVFormatContext* second = avformat_alloc_context();
  if (second == nullptr) return;
  second->pb = channel->io();
  second->flags |= AVFMT_FLAG_CUSTOM_IO;
  if (avformat_open_input(&second, "", format->iformat, nullptr) < 0) return;  // freed by the call
  const InputFormatHandle reader(second);

  PacketHandle packet = MakePacket();
  if (packet == nullptr) return;
  while (!waiting.empty() && channel->position() < kSearchBytes && av_read_frame(reader.get(), packet.get()) >= 0) {
    const AVStream& found = *reader->streams[packet->stream_index];
    for (auto it = waiting.begin(); it != waiting.end(); ++it) {
      if ((*it)->id != found.id || found.codecpar->codec_id != AV_CODEC_ID_PCM_BLURAY) continue;
      // Only the first frame is tried: a stream whose first frame is no
      // 20-bit one is something else, and stays undescribed.
      DescribeFromFrame(packet.get(), (*it)->codecpar);
      waiting.erase(it);
      break;
    }
    av_packet_unref(packet.get());
  }
}

}  // namespace quorvex::engine
