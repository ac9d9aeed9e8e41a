#include "graph/engine/lpcm_repack.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "graph/engine/bluray_lpcm_header.h"
#include "graph/engine/engine_pin.h"
#include "graph/engine/libav_handles.h"
#include "graph/engine/twenty_bit_lpcm.h"
#include "platform/diagnostics.h"
#include "text/conversions.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

namespace quorvex::engine {
namespace {

// The disc's sample width: what the decoder learnt while the splitter
// probed the stream.
int SourceBits(const AVCodecParameters& codec) {
  if (codec.bits_per_raw_sample > 0) return codec.bits_per_raw_sample;
  return codec.format == AV_SAMPLE_FMT_S16 ? 16 : 0;
}

// Whether the decoder's samples fit the packing described: 16-bit samples
// arrive as S16, wider ones as S32 with the sample in the top bits.
bool Fits(AVSampleFormat format, int bytes) {
  const AVSampleFormat packed = av_get_packed_sample_fmt(format);
  return bytes == 2 ? packed == AV_SAMPLE_FMT_S16 : packed == AV_SAMPLE_FMT_S32;
}

// One decoded sample as `bytes` little-endian bytes: the whole S16 sample,
// or the top three bytes of an S32 one, which hold all of a 20- or 24-bit
// sample.
void PutSample(const uint8_t* sample, int bytes, uint8_t* out) {
  if (bytes == 2) {
    int16_t value;
    std::memcpy(&value, sample, sizeof value);
    const auto bits = static_cast<uint16_t>(value);
    out[0] = static_cast<uint8_t>(bits & 0xFF);
    out[1] = static_cast<uint8_t>(bits >> 8);
    return;
  }
  int32_t value;
  std::memcpy(&value, sample, sizeof value);
  const auto bits = static_cast<uint32_t>(value);
  out[0] = static_cast<uint8_t>((bits >> 8) & 0xFF);
  out[1] = static_cast<uint8_t>((bits >> 16) & 0xFF);
  out[2] = static_cast<uint8_t>(bits >> 24);
}

struct ParametersDeleter {
  void operator()(AVCodecParameters* parameters) const { avcodec_parameters_free(&parameters); }
};

}  // namespace

std::unique_ptr<LpcmRepack> LpcmRepack::Create(const AVStream& source) {
  const AVCodecID id = source.codecpar->codec_id;
  if (id != AV_CODEC_ID_PCM_BLURAY && id != AV_CODEC_ID_PCM_DVD) return nullptr;
  const AVCodec* codec = avcodec_find_decoder(id);
  if (codec == nullptr) return nullptr;
  std::unique_ptr<LpcmRepack> repack(new LpcmRepack());
  repack->source_ = &source;
  repack->widenHeaders_ = IsTwentyBitBlurayLpcm(*source.codecpar);
  repack->decoder_.reset(avcodec_alloc_context3(codec));
  repack->frame_.reset(av_frame_alloc());
  if (repack->decoder_ == nullptr || repack->frame_ == nullptr) return nullptr;
  if (avcodec_parameters_to_context(repack->decoder_.get(), source.codecpar) < 0) return nullptr;
  repack->decoder_->pkt_timebase = source.time_base;
  if (avcodec_open2(repack->decoder_.get(), codec, nullptr) < 0) return nullptr;
  return repack;
}

bool LpcmRepack::DescribeOutput(const AVStream& source, AVCodecParameters* output) {
  const AVCodecParameters& codec = *source.codecpar;
  const int bits = SourceBits(codec);
  const int channels = codec.ch_layout.nb_channels;
  if (bits <= 0 || bits > 24 || channels <= 0 || codec.sample_rate <= 0) return false;
  outputBytesPerSample_ = bits <= 16 ? 2 : 3;
  outputChannels_ = channels;

  std::unique_ptr<AVCodecParameters, ParametersDeleter> described(avcodec_parameters_alloc());
  if (described == nullptr) return false;
  AVCodecParameters& pcm = *described;
  pcm.codec_type = AVMEDIA_TYPE_AUDIO;
  pcm.codec_id = outputBytesPerSample_ == 2 ? AV_CODEC_ID_PCM_S16LE : AV_CODEC_ID_PCM_S24LE;
  pcm.format = outputBytesPerSample_ == 2 ? AV_SAMPLE_FMT_S16 : AV_SAMPLE_FMT_S32;
  pcm.sample_rate = codec.sample_rate;
  if (av_channel_layout_copy(&pcm.ch_layout, &codec.ch_layout) < 0) return false;
  // 20-bit samples are stored and declared as 24-bit ones, their low four
  // bits as the disc has them (zero): Matroska's BitDepth and WAV's sample
  // width size each sample for its readers, libav's muxers write 24 for
  // three-byte PCM anyway, and a player meeting a depth of 20 would have to
  // round it up to whole bytes itself.
  pcm.bits_per_coded_sample = outputBytesPerSample_ * 8;
  pcm.bits_per_raw_sample = outputBytesPerSample_ * 8;
  pcm.block_align = channels * outputBytesPerSample_;
  pcm.bit_rate = static_cast<int64_t>(codec.sample_rate) * pcm.block_align * 8;
  return avcodec_parameters_copy(output, &pcm) >= 0;
}

bool LpcmRepack::Repack(AVPacket* packet) {
  // The decoder reads 20-bit frames once their headers say 24 bits, which
  // is how they are laid out anyway. A frame of another width is damage.
  if (widenHeaders_ &&
      (av_packet_make_writable(packet) < 0 || !WidenTwentyBitHeader(packet->data, static_cast<size_t>(packet->size)))) {
    return LeaveOut(packet);
  }
  if (avcodec_send_packet(decoder_.get(), packet) < 0) return LeaveOut(packet);
  std::vector<uint8_t> samples;
  for (;;) {
    const int received = avcodec_receive_frame(decoder_.get(), frame_.get());
    if (received == AVERROR(EAGAIN)) break;
    if (received < 0) return LeaveOut(packet);
    const auto format = static_cast<AVSampleFormat>(frame_->format);
    const int channels = frame_->ch_layout.nb_channels;
    if (!Fits(format, outputBytesPerSample_) || channels != outputChannels_) {
      av_frame_unref(frame_.get());
      return LeaveOut(packet);
    }
    const bool planar = av_sample_fmt_is_planar(format) != 0;
    const int inputBytes = av_get_bytes_per_sample(format);
    const size_t start = samples.size();
    samples.resize(start + static_cast<size_t>(frame_->nb_samples) * static_cast<size_t>(channels) *
                               static_cast<size_t>(outputBytesPerSample_));
    uint8_t* out = samples.data() + start;
    for (int i = 0; i < frame_->nb_samples; ++i) {
      for (int channel = 0; channel < channels; ++channel) {
        const uint8_t* sample = planar ? frame_->extended_data[channel] + i * inputBytes
                                       : frame_->extended_data[0] + (i * channels + channel) * inputBytes;
        PutSample(sample, outputBytesPerSample_, out);
        out += outputBytesPerSample_;
      }
    }
    av_frame_unref(frame_.get());
  }
  if (samples.size() > static_cast<size_t>(INT32_MAX - AV_INPUT_BUFFER_PADDING_SIZE)) return false;
  PacketHandle repacked = MakePacket();
  // A new packet starts with default properties, so they are copied after.
  if (repacked == nullptr || av_new_packet(repacked.get(), static_cast<int>(samples.size())) < 0 ||
      av_packet_copy_props(repacked.get(), packet) < 0) {
    return false;
  }
  if (!samples.empty()) std::memcpy(repacked->data, samples.data(), samples.size());
  av_packet_unref(packet);
  av_packet_move_ref(packet, repacked.get());
  return true;
}

bool LpcmRepack::LeaveOut(AVPacket* packet) {
  if (!damageReported_) {
    Diagnose(NarrowText(OutputPinName(*source_, source_->index + 1)) +
             ": LPCM packets that are damaged or change the track's layout are left out.");
    damageReported_ = true;
  }
  av_packet_unref(packet);
  return true;
}

}  // namespace quorvex::engine
