#include "graph/engine/lpcm_repack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "graph/engine/libav_handles.h"
#include "platform/diagnostics.h"
#include "platform/testing/recording_diagnostics.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace quorvex::engine {
namespace {

struct CodecContextDeleter {
  void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameDeleter {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct FormatDeleter {
  void operator()(AVFormatContext* format) const { avformat_free_context(format); }
};

struct LpcmCase {
  AVCodecID codec;
  uint64_t layout;
  AVSampleFormat format;  // what the disc encoder takes: S16, or S32 for 24 bits
  int expectedChannels;
};

// A distinct, signed value for every sample of every channel, so a lost,
// swapped or shifted channel shows.
int32_t SampleValue(int index, int channel, int bytes) {
  const int32_t value = (channel + 1) * 1111 - index * 37 - 400;
  return bytes == 2 ? value : value * 251 + channel;  // beyond 16 bits
}

// Encodes the samples as the disc stores them, with libavcodec's own encoder
// of that packing, and answers the packets and the stream they form.
class DiscTrack {
 public:
  void Encode(const LpcmCase& c, int frames) {
    const AVCodec* encoder = avcodec_find_encoder(c.codec);
    ASSERT_NE(encoder, nullptr);
    std::unique_ptr<AVCodecContext, CodecContextDeleter> context(avcodec_alloc_context3(encoder));
    context->sample_rate = 48000;
    context->sample_fmt = c.format;
    av_channel_layout_from_mask(&context->ch_layout, c.layout);
    context->time_base = AVRational{1, 48000};
    ASSERT_GE(avcodec_open2(context.get(), encoder, nullptr), 0);
    const int bytes = c.format == AV_SAMPLE_FMT_S16 ? 2 : 3;
    const int perFrame = context->frame_size > 0 ? context->frame_size : 240;
    const int channels = context->ch_layout.nb_channels;
    for (int f = 0; f < frames; ++f) {
      std::unique_ptr<AVFrame, FrameDeleter> frame(av_frame_alloc());
      frame->format = c.format;
      frame->nb_samples = perFrame;
      frame->sample_rate = 48000;
      frame->pts = static_cast<int64_t>(f) * perFrame;
      av_channel_layout_copy(&frame->ch_layout, &context->ch_layout);
      ASSERT_GE(av_frame_get_buffer(frame.get(), 0), 0);
      for (int i = 0; i < perFrame; ++i) {
        for (int channel = 0; channel < channels; ++channel) {
          const int32_t value = SampleValue(f * perFrame + i, channel, bytes);
          if (bytes == 2) {
            reinterpret_cast<int16_t*>(frame->data[0])[i * channels + channel] = static_cast<int16_t>(value);
          } else {
            reinterpret_cast<int32_t*>(frame->data[0])[i * channels + channel] =
                static_cast<int32_t>(static_cast<uint32_t>(value) << 8);
          }
          for (int b = 0; b < bytes; ++b) {
            expected.push_back(static_cast<uint8_t>((static_cast<uint32_t>(value) >> (8 * b)) & 0xFF));
          }
        }
      }
      ASSERT_GE(avcodec_send_frame(context.get(), frame.get()), 0);
      for (PacketHandle packet = MakePacket(); avcodec_receive_packet(context.get(), packet.get()) >= 0;
           packet = MakePacket()) {
        packets.push_back(std::move(packet));
      }
    }
    // The stream as the splitter describes it once it has probed it.
    format.reset(avformat_alloc_context());
    stream = avformat_new_stream(format.get(), nullptr);
    avcodec_parameters_from_context(stream->codecpar, context.get());
    stream->codecpar->bits_per_raw_sample = bytes == 2 ? 16 : 24;
    stream->time_base = AVRational{1, 90000};
  }

  std::unique_ptr<AVFormatContext, FormatDeleter> format;
  AVStream* stream = nullptr;
  std::vector<PacketHandle> packets;
  std::vector<uint8_t> expected;  // little-endian, WAV channel order
};

TEST(LpcmRepackTest, EveryDiscLayoutComesOutSampleForSampleInWavOrder) {
  const std::vector<LpcmCase> cases = {
      {AV_CODEC_ID_PCM_BLURAY, AV_CH_LAYOUT_MONO, AV_SAMPLE_FMT_S16, 1},
      {AV_CODEC_ID_PCM_BLURAY, AV_CH_LAYOUT_STEREO, AV_SAMPLE_FMT_S32, 2},
      // Odd layouts: the disc carries a padding channel that must not appear.
      {AV_CODEC_ID_PCM_BLURAY, AV_CH_LAYOUT_SURROUND, AV_SAMPLE_FMT_S16, 3},
      {AV_CODEC_ID_PCM_BLURAY, AV_CH_LAYOUT_5POINT1, AV_SAMPLE_FMT_S32, 6},
      // 24-bit 7.1 is built by hand below: this libavcodec's encoder
      // misplaces those samples by a byte.
      {AV_CODEC_ID_PCM_BLURAY, AV_CH_LAYOUT_7POINT1, AV_SAMPLE_FMT_S16, 8},
      {AV_CODEC_ID_PCM_DVD, AV_CH_LAYOUT_STEREO, AV_SAMPLE_FMT_S16, 2},
      // DVD's 24-bit samples come in groups whose low bytes trail.
      {AV_CODEC_ID_PCM_DVD, AV_CH_LAYOUT_STEREO, AV_SAMPLE_FMT_S32, 2},
      {AV_CODEC_ID_PCM_DVD, AV_CH_LAYOUT_5POINT1, AV_SAMPLE_FMT_S32, 6},
  };
  for (const LpcmCase& c : cases) {
    SCOPED_TRACE(std::string(avcodec_get_name(c.codec)) + " " + std::to_string(c.expectedChannels) + " channels " +
                 av_get_sample_fmt_name(c.format));
    DiscTrack track;
    ASSERT_NO_FATAL_FAILURE(track.Encode(c, 5));
    ASSERT_NE(track.stream, nullptr);
    ASSERT_FALSE(track.packets.empty());

    const std::unique_ptr<LpcmRepack> repack = LpcmRepack::Create(*track.stream);
    ASSERT_NE(repack, nullptr);
    AVCodecParameters* output = avcodec_parameters_alloc();
    ASSERT_TRUE(repack->DescribeOutput(*track.stream, output));
    const int bytes = c.format == AV_SAMPLE_FMT_S16 ? 2 : 3;
    EXPECT_EQ(output->codec_id, bytes == 2 ? AV_CODEC_ID_PCM_S16LE : AV_CODEC_ID_PCM_S24LE);
    EXPECT_EQ(output->ch_layout.nb_channels, c.expectedChannels);
    EXPECT_EQ(output->sample_rate, 48000);
    EXPECT_EQ(output->block_align, bytes * c.expectedChannels);
    avcodec_parameters_free(&output);

    std::vector<uint8_t> repacked;
    for (size_t i = 0; i < track.packets.size(); ++i) {
      AVPacket* packet = track.packets[i].get();
      packet->pts = packet->dts = static_cast<int64_t>(i) * 900;
      packet->duration = 900;
      ASSERT_TRUE(repack->Repack(packet));
      EXPECT_EQ(packet->pts, static_cast<int64_t>(i) * 900);
      EXPECT_EQ(packet->duration, 900);
      repacked.insert(repacked.end(), packet->data, packet->data + packet->size);
    }
    EXPECT_EQ(repacked, track.expected);
  }
}

TEST(LpcmRepackTest, BluRaySevenOneComesOutInWavOrder) {
  // One packet as a Blu-ray carries it: a header (payload size, 7.1 at
  // 48 kHz, 24 bits), then big-endian samples in the disc's channel order
  // L R C LSide LBack RBack RSide LFE.
  const int samples = 3;
  std::vector<uint8_t> disc{0x00, samples * 8 * 3, 0xB1, 0xC0};
  auto value = [](int sample, int discChannel) {
    return static_cast<uint32_t>(0x800000 | (sample << 16) | (discChannel << 8) | 0x5A);
  };
  for (int i = 0; i < samples; ++i) {
    for (int channel = 0; channel < 8; ++channel) {
      const uint32_t v = value(i, channel);
      disc.insert(disc.end(), {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)});
    }
  }
  // WAV order: FL FR FC LFE BL BR SL SR, little-endian.
  const int wavFromDisc[8] = {0, 1, 2, 7, 4, 5, 3, 6};
  std::vector<uint8_t> expected;
  for (int i = 0; i < samples; ++i) {
    for (int channel : wavFromDisc) {
      const uint32_t v = value(i, channel);
      expected.insert(expected.end(),
                      {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16)});
    }
  }

  std::unique_ptr<AVFormatContext, FormatDeleter> format(avformat_alloc_context());
  AVStream* stream = avformat_new_stream(format.get(), nullptr);
  stream->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
  stream->codecpar->codec_id = AV_CODEC_ID_PCM_BLURAY;
  stream->codecpar->sample_rate = 48000;
  stream->codecpar->bits_per_raw_sample = 24;
  av_channel_layout_from_mask(&stream->codecpar->ch_layout, AV_CH_LAYOUT_7POINT1);
  stream->time_base = AVRational{1, 90000};
  const std::unique_ptr<LpcmRepack> repack = LpcmRepack::Create(*stream);
  ASSERT_NE(repack, nullptr);
  AVCodecParameters* output = avcodec_parameters_alloc();
  ASSERT_TRUE(repack->DescribeOutput(*stream, output));
  EXPECT_EQ(output->codec_id, AV_CODEC_ID_PCM_S24LE);
  EXPECT_EQ(output->ch_layout.u.mask, AV_CH_LAYOUT_7POINT1);
  avcodec_parameters_free(&output);

  PacketHandle packet = MakePacket();
  ASSERT_GE(av_new_packet(packet.get(), static_cast<int>(disc.size())), 0);
  std::copy(disc.begin(), disc.end(), packet->data);
  ASSERT_TRUE(repack->Repack(packet.get()));
  EXPECT_EQ(std::vector<uint8_t>(packet->data, packet->data + packet->size), expected);
}

TEST(LpcmRepackTest, DamagedPacketsAreLeftOutAndReportedOnce) {
  RecordingDiagnostics diagnostics;
  std::unique_ptr<AVFormatContext, FormatDeleter> format(avformat_alloc_context());
  avformat_new_stream(format.get(), nullptr);
  AVStream* stream = avformat_new_stream(format.get(), nullptr);
  stream->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
  stream->codecpar->codec_id = AV_CODEC_ID_PCM_BLURAY;
  stream->codecpar->sample_rate = 48000;
  stream->codecpar->bits_per_raw_sample = 16;
  av_channel_layout_from_mask(&stream->codecpar->ch_layout, AV_CH_LAYOUT_STEREO);
  const std::unique_ptr<LpcmRepack> repack = LpcmRepack::Create(*stream);
  ASSERT_NE(repack, nullptr);
  AVCodecParameters* output = avcodec_parameters_alloc();
  ASSERT_TRUE(repack->DescribeOutput(*stream, output));
  avcodec_parameters_free(&output);
  struct Case {
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> repacked;
  };
  const std::vector<Case> cases = {
      {{0x00, 0x04}, {}},                                                            // too short for a header
      {{0x00, 0x04, 0x21, 0x40, 1, 2, 3, 4}, {}},                                    // a reserved layout
      {{0x00, 0x0C, 0x91, 0x40, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {}},         // 5.1 midway
      {{0x00, 0x04, 0x31, 0x40, 0x12, 0x34, 0xAB, 0xCD}, {0x34, 0x12, 0xCD, 0xAB}},  // whole again
  };
  for (const Case& c : cases) {
    PacketHandle packet = MakePacket();
    ASSERT_GE(av_new_packet(packet.get(), static_cast<int>(c.bytes.size())), 0);
    std::copy(c.bytes.begin(), c.bytes.end(), packet->data);
    ASSERT_TRUE(repack->Repack(packet.get()));
    EXPECT_EQ(std::vector<uint8_t>(packet->data, packet->data + packet->size), c.repacked)
        << c.bytes.size() << " bytes";
  }
  EXPECT_EQ(diagnostics.lines(),
            std::vector<std::string>{
                "quorvex: Audio 2: LPCM packets that are damaged or change the track's layout are left out."});
}

TEST(LpcmRepackTest, OtherStreamsAreNoLpcm) {
  std::unique_ptr<AVFormatContext, FormatDeleter> format(avformat_alloc_context());
  AVStream* stream = avformat_new_stream(format.get(), nullptr);
  stream->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
  stream->codecpar->codec_id = AV_CODEC_ID_AC3;
  EXPECT_EQ(LpcmRepack::Create(*stream), nullptr);
}

}  // namespace
}  // namespace quorvex::engine
