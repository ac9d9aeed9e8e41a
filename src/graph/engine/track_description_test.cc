#include "graph/engine/track_description.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace quorvex::engine {
namespace {

struct FormatDeleter {
  void operator()(AVFormatContext* format) const { avformat_free_context(format); }
};

class TrackDescriptionTest : public ::testing::Test {
 protected:
  AVStream* Add(AVFormatContext* format, AVMediaType type, AVCodecID codec, int disposition = 0) {
    AVStream* stream = avformat_new_stream(format, nullptr);
    stream->codecpar->codec_type = type;
    stream->codecpar->codec_id = codec;
    stream->disposition = disposition;
    return stream;
  }
  std::unique_ptr<AVFormatContext, FormatDeleter> source_{avformat_alloc_context()};
  std::unique_ptr<AVFormatContext, FormatDeleter> output_{avformat_alloc_context()};
};

TEST_F(TrackDescriptionTest, FirstVideoAndAudioBecomeDefaultOnlyWhenNoSourceSaysSo) {
  struct Case {
    std::string name;
    std::vector<int> sourceFlags;  // video, audio, audio, video
    std::vector<bool> expectedDefault;
  };
  const std::vector<Case> cases = {
      {"no flags at all", {0, 0, 0, 0}, {true, true, false, false}},
      {"a flag on the second audio", {0, 0, AV_DISPOSITION_DEFAULT, 0}, {false, false, true, false}},
      {"forced is no default", {0, AV_DISPOSITION_FORCED, 0, 0}, {true, true, false, false}},
  };
  const AVMediaType types[] = {AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_AUDIO, AVMEDIA_TYPE_AUDIO, AVMEDIA_TYPE_VIDEO};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<AVFormatContext, FormatDeleter> source(avformat_alloc_context());
    std::unique_ptr<AVFormatContext, FormatDeleter> output(avformat_alloc_context());
    std::vector<const AVStream*> sources;
    std::vector<AVStream*> tracks;
    for (size_t i = 0; i < 4; ++i) {
      const AVStream* from = Add(source.get(), types[i], AV_CODEC_ID_NONE, c.sourceFlags[i]);
      AVStream* to = Add(output.get(), types[i], AV_CODEC_ID_NONE);
      CopyTrackDescription(*from, *to);
      sources.push_back(from);
      tracks.push_back(to);
    }
    MarkDefaultTracks(sources, tracks);
    for (size_t i = 0; i < 4; ++i) {
      EXPECT_EQ((tracks[i]->disposition & AV_DISPOSITION_DEFAULT) != 0, c.expectedDefault[i]) << "track " << i;
      EXPECT_EQ(tracks[i]->disposition & AV_DISPOSITION_FORCED, c.sourceFlags[i] & AV_DISPOSITION_FORCED);
    }
  }
}

TEST_F(TrackDescriptionTest, PixelShapeComesFromTheCodecWhenTheSplitterLeftItOut) {
  AVStream* video = Add(source_.get(), AVMEDIA_TYPE_VIDEO, AV_CODEC_ID_MPEG2VIDEO);
  video->sample_aspect_ratio = AVRational{0, 1};
  video->codecpar->sample_aspect_ratio = AVRational{64, 45};
  AVStream* track = Add(output_.get(), AVMEDIA_TYPE_VIDEO, AV_CODEC_ID_MPEG2VIDEO);
  CopyTrackDescription(*video, *track);
  EXPECT_EQ(av_cmp_q(track->sample_aspect_ratio, AVRational{64, 45}), 0);
  // The container's own shape wins where it has one.
  video->sample_aspect_ratio = AVRational{4, 3};
  CopyTrackDescription(*video, *track);
  EXPECT_EQ(av_cmp_q(track->sample_aspect_ratio, AVRational{4, 3}), 0);
}

TEST_F(TrackDescriptionTest, OnlyLosslessAudioKeepsABitDepth) {
  struct Case {
    AVCodecID codec;
    int bits;
    AVSampleFormat format;
    int keptBits;
  };
  const std::vector<Case> cases = {
      {AV_CODEC_ID_AC3, 0, AV_SAMPLE_FMT_FLTP, 0},     {AV_CODEC_ID_EAC3, 0, AV_SAMPLE_FMT_FLTP, 0},
      {AV_CODEC_ID_MP2, 16, AV_SAMPLE_FMT_S16P, 0},    {AV_CODEC_ID_FLAC, 24, AV_SAMPLE_FMT_S32, 24},
      {AV_CODEC_ID_TRUEHD, 24, AV_SAMPLE_FMT_S32, 24},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(avcodec_get_name(c.codec));
    AVStream* audio = Add(source_.get(), AVMEDIA_TYPE_AUDIO, c.codec);
    AVStream* track = Add(output_.get(), AVMEDIA_TYPE_AUDIO, c.codec);
    track->codecpar->bits_per_raw_sample = c.bits;
    track->codecpar->format = c.format;
    CopyTrackDescription(*audio, *track);
    EXPECT_EQ(track->codecpar->bits_per_raw_sample, c.keptBits);
    EXPECT_EQ(track->codecpar->format, AV_SAMPLE_FMT_NONE);
  }
}

}  // namespace
}  // namespace quorvex::engine
