#include "graph/engine/aac_latm_repack.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "graph/engine/libav_handles.h"
#include "platform/diagnostics.h"
#include "platform/testing/recording_diagnostics.h"

namespace quorvex::engine {
namespace {

using Bytes = std::vector<uint8_t>;

// LOAS frames: AAC-LC 48 kHz with its config (stereo, then mono), and one
// that uses the config in force; each carries a two-byte access unit.
const Bytes kStereoFrame = {0x56, 0xE0, 0x09, 0x20, 0x00, 0x11, 0x90, 0x1F, 0xE0, 0x16, 0xF5, 0x68};
const Bytes kMonoFrame = {0x56, 0xE0, 0x09, 0x20, 0x00, 0x11, 0x88, 0x1F, 0xE0, 0x16, 0xF5, 0x68};
const Bytes kSameConfigFrame = {0x56, 0xE0, 0x04, 0x81, 0x5F, 0x77, 0x80};

class AacLatmRepackTest : public ::testing::Test {
 protected:
  AacLatmRepackTest() : format_(avformat_alloc_context()) {
    stream_ = avformat_new_stream(format_.get(), nullptr);
    stream_->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
    stream_->codecpar->codec_id = AV_CODEC_ID_AAC_LATM;
    stream_->codecpar->sample_rate = 48000;
  }

  void SetConfig(const Bytes& config) {
    stream_->codecpar->extradata = static_cast<uint8_t*>(av_mallocz(config.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    std::memcpy(stream_->codecpar->extradata, config.data(), config.size());
    stream_->codecpar->extradata_size = static_cast<int>(config.size());
  }

  bool Describe(StreamRepack& repack) {
    AVCodecParameters* output = avcodec_parameters_alloc();
    const bool described = repack.DescribeOutput(*stream_, output);
    if (described) {
      EXPECT_EQ(output->codec_id, AV_CODEC_ID_AAC);
      EXPECT_EQ(Bytes(output->extradata, output->extradata + output->extradata_size),
                Bytes(stream_->codecpar->extradata, stream_->codecpar->extradata + stream_->codecpar->extradata_size));
    }
    avcodec_parameters_free(&output);
    return described;
  }

  // Repacks one packet; its data afterwards, or nullopt when refused.
  std::optional<Bytes> Repack(StreamRepack& repack, const Bytes& data) {
    PacketHandle packet = MakePacket();
    EXPECT_EQ(av_new_packet(packet.get(), static_cast<int>(data.size())), 0);
    std::memcpy(packet->data, data.data(), data.size());
    packet->pts = packet->dts = 1234;
    if (!repack.Repack(packet.get())) return std::nullopt;
    EXPECT_EQ(packet->pts, 1234);
    return Bytes(packet->data, packet->data + packet->size);
  }

  OutputFormatHandle format_;
  AVStream* stream_ = nullptr;
};

TEST_F(AacLatmRepackTest, StreamWithoutAUsableConfigIsNotDescribed) {
  AacLatmRepack noConfig;
  EXPECT_FALSE(Describe(noConfig));
  SetConfig({0x89, 0x90});  // error-resilient AAC (object type 17)
  AacLatmRepack errorResilient;
  EXPECT_FALSE(Describe(errorResilient));
}

TEST_F(AacLatmRepackTest, FramesBecomeTheirAccessUnits) {
  SetConfig({0x11, 0x90});
  AacLatmRepack repack;
  ASSERT_TRUE(Describe(repack));
  RecordingDiagnostics diagnostics;
  // Before any config no decoder can use a frame: it is left empty, skipped.
  EXPECT_EQ(Repack(repack, kSameConfigFrame), Bytes{});
  EXPECT_EQ(Repack(repack, kStereoFrame), (Bytes{0xDE, 0xAD}));
  EXPECT_EQ(Repack(repack, kSameConfigFrame), (Bytes{0xBE, 0xEF}));
  // Damage is skipped and said once.
  EXPECT_EQ(Repack(repack, Bytes{0x56, 0xE0, 0x40, 0x00}), Bytes{});
  EXPECT_EQ(Repack(repack, Bytes{0x00, 0x01}), Bytes{});
  EXPECT_EQ(diagnostics.lines().size(), 1u);
  EXPECT_EQ(Repack(repack, kStereoFrame), (Bytes{0xDE, 0xAD}));
}

TEST_F(AacLatmRepackTest, ConfigChangeMidStreamFailsLoudly) {
  SetConfig({0x11, 0x90});
  AacLatmRepack repack;
  ASSERT_TRUE(Describe(repack));
  RecordingDiagnostics diagnostics;
  EXPECT_TRUE(Repack(repack, kStereoFrame).has_value());
  EXPECT_FALSE(Repack(repack, kMonoFrame).has_value());
  EXPECT_EQ(diagnostics.lines().size(), 1u);
}

}  // namespace
}  // namespace quorvex::engine
