// 20-bit Blu-ray LPCM, which ffmpeg cannot write: the fixture is a 24-bit
// .m2ts whose every LPCM frame header is changed to say 20 bits. Blu-ray
// stores 20-bit samples in three bytes like 24-bit ones, so the samples
// stay where they were; only their low four bits, zero on a real disc, hold
// ffmpeg's 24-bit detail here. The remux must keep every bit of them.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "ts_rewrite.h"

namespace quorvex::e2e {
namespace {

using nlohmann::json;

// ffprobe's answer, once: a transport stream lists its streams twice, in
// its programme and on their own.
std::string Probe(const std::string& file, const std::vector<std::string>& arguments) {
  std::vector<std::string> command{"ffprobe", "-v", "error"};
  command.insert(command.end(), arguments.begin(), arguments.end());
  command.push_back(file);
  const std::vector<std::string> lines = Lines(RunCommand(command).output);
  return lines.empty() ? "" : lines.front();
}

// ffmpeg's MD5 of one audio stream decoded to 32-bit samples.
std::string SampleHash(const std::string& file, const std::string& map) {
  CommandResult result =
      RunCommand({"ffmpeg", "-v", "error", "-i", file, "-map", map, "-c:a", "pcm_s32le", "-f", "md5", "-"});
  EXPECT_EQ(result.exitCode, 0) << file << " " << map << ": " << result.errorOutput;
  return result.output;
}

class TwentyBitLpcmE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // 5.1 (no padding channel) and 3.0 (with one), each channel its own tone.
    RunFfmpeg({"-f",
               "lavfi",
               "-i",
               "testsrc2=duration=1:size=160x120:rate=25",
               "-f",
               "lavfi",
               "-i",
               "aevalsrc=exprs=0.1*sin(2*PI*220*t)|0.1*sin(2*PI*330*t)|0.1*sin(2*PI*440*t)|"
               "0.1*sin(2*PI*550*t)|0.1*sin(2*PI*660*t)|0.1*sin(2*PI*770*t):c=5.1:s=48000:d=1",
               "-map",
               "0:v",
               "-map",
               "1:a",
               "-map",
               "1:a",
               "-c:v",
               "libx264",
               "-preset",
               "ultrafast",
               "-c:a",
               "pcm_bluray",
               "-sample_fmt",
               "s32",
               "-filter:a:1",
               "aformat=channel_layouts=3.0",
               "-mpegts_m2ts_mode",
               "1",
               "-f",
               "mpegts",
               source24_});
    ASSERT_TRUE(std::filesystem::copy_file(source24_, source20_));
    for (const std::string stream : {"a:0", "a:1"}) {
      const std::string id =
          Probe(source20_, {"-select_streams", stream, "-show_entries", "stream=id", "-of", "csv=p=0"});
      ASSERT_FALSE(id.empty());
      // The width is the top two bits of the fourth header byte: 3 = 24, 2 = 20.
      const int frames = EditPesPayloadStarts(source20_, std::stoi(id, nullptr, 16), [](uint8_t* lpcm, size_t size) {
        ASSERT_GE(size, 4u);
        ASSERT_EQ(lpcm[3] >> 6, 3);
        lpcm[3] = static_cast<uint8_t>((lpcm[3] & 0x3F) | 0x80);
      });
      ASSERT_GT(frames, 100) << stream;  // 1 s in 5 ms frames
    }
    // ffmpeg itself cannot read what the fixture has become.
    ASSERT_EQ(Probe(source20_, {"-select_streams", "a:0", "-show_entries", "stream=sample_rate", "-of", "csv=p=0"}),
              "0");
  }

  ScratchDirectory work_;
  const std::string source24_ = work_ / "source24.m2ts";
  const std::string source20_ = work_ / "source20.m2ts";
};

TEST_F(TwentyBitLpcmE2eTest, RemuxKeepsEverySampleAsTwentyFourBitPcm) {
  const std::string output = work_ / "out.mkv";
  const CommandResult run = RunQuorvex({source20_, output, "-no24p"});
  ASSERT_EQ(run.exitCode, 0) << run.output << run.errorOutput;
  EXPECT_EQ(run.errorOutput, "");

  const json identity = json::parse(RunCommand({"mkvmerge", "-J", output}).output, nullptr, false);
  const json& tracks = identity["tracks"];
  ASSERT_EQ(tracks.size(), 3u);
  const int channels[] = {6, 3};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const json& properties = tracks[static_cast<size_t>(i) + 1]["properties"];
    EXPECT_EQ(properties["codec_id"], "A_PCM/INT/LIT");
    EXPECT_EQ(properties["audio_channels"], channels[i]);
    EXPECT_EQ(properties["audio_sampling_frequency"], 48000);
    EXPECT_EQ(properties["audio_bits_per_sample"], 24);
    const std::string map = "0:a:" + std::to_string(i);
    EXPECT_EQ(Probe(output, {"-select_streams", map.substr(2), "-show_entries", "stream=codec_name,bits_per_raw_sample",
                             "-of", "csv=p=0"}),
              "pcm_s24le,24");
    EXPECT_EQ(SampleHash(output, map), SampleHash(source24_, map));
  }
}

TEST_F(TwentyBitLpcmE2eTest, DemuxWritesTheSamplesAsWav) {
  const CommandResult run = RunQuorvex({source20_, work_ / "out.mkv", "-demux", "-audioOnly"});
  ASSERT_EQ(run.exitCode, 0) << run.output << run.errorOutput;
  const std::string wav = work_ / "out.2.mpa";
  EXPECT_EQ(Probe(wav, {"-show_entries", "stream=codec_name,channels", "-of", "csv=p=0"}), "pcm_s24le,6");
  EXPECT_EQ(Probe(wav, {"-show_entries", "format=format_name", "-of", "csv=p=0"}), "wav");
  EXPECT_EQ(SampleHash(wav, "0:a:0"), SampleHash(source24_, "0:a:0"));
}

}  // namespace
}  // namespace quorvex::e2e
