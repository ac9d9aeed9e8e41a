// Streams whose timing or packing needs care to arrive whole: spliced
// recordings, AAC as DVB sends it. The output is judged by ffmpeg, ffprobe
// and mkvmerge only.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace quorvex::e2e {
namespace {

// Decoded-frame MD5s of one stream, in output order, without timestamps.
std::vector<std::string> FrameHashes(const std::string& file, const std::string& map) {
  const CommandResult result = RunCommand({"ffmpeg", "-v", "error", "-i", file, "-map", map, "-f", "framemd5", "-"});
  EXPECT_EQ(result.exitCode, 0) << file << ": " << result.errorOutput;
  std::vector<std::string> hashes;
  for (const std::string& line : Lines(result.output)) {
    if (!line.empty() && line[0] != '#') hashes.push_back(line.substr(line.rfind(',') + 1));
  }
  return hashes;
}

// The MD5 of one audio stream's decoded samples.
std::string SamplesMd5(const std::string& file, const std::string& map) {
  const CommandResult result =
      RunCommand({"ffmpeg", "-v", "error", "-i", file, "-map", map, "-c:a", "pcm_s32le", "-f", "md5", "-"});
  EXPECT_EQ(result.exitCode, 0) << file << ": " << result.errorOutput;
  return result.output;
}

// Presentation times of one stream's packets, in seconds, sorted.
std::vector<double> PacketTimes(const std::string& file, const std::string& streams) {
  const CommandResult result = RunCommand({"ffprobe", "-v", "error", "-select_streams", streams, "-show_entries",
                                           "packet=pts_time", "-of", "csv=p=0", file});
  std::vector<double> times;
  for (const std::string& line : Lines(result.output)) {
    if (!line.empty() && line != "N/A") times.push_back(std::strtod(line.c_str(), nullptr));
  }
  std::sort(times.begin(), times.end());
  return times;
}

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::vector<std::string> kThreeSeconds = {"-f", "lavfi", "-i", "testsrc2=duration=3:size=160x120:rate=25",
                                                "-f", "lavfi", "-i", "sine=duration=3:frequency=440:sample_rate=48000"};

TEST(StreamFidelityE2eTest, JoinedRecordingsKeepEveryFrameInOrderAndInStep) {
  struct Case {
    std::string name;
    std::vector<std::string> encoding;
  };
  const std::vector<Case> cases = {
      {"clip.ts", {"-c:v", "mpeg2video", "-c:a", "mp2", "-f", "mpegts"}},
      {"clip.vob", {"-c:v", "mpeg2video", "-c:a", "ac3", "-f", "vob"}},
      {"clip.m2ts", {"-c:v", "libx264", "-bf", "2", "-c:a", "ac3", "-f", "mpegts", "-mpegts_m2ts_mode", "1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDirectory work;
    const std::string clip = work / c.name;
    RunFfmpeg(Concat(Concat(kThreeSeconds, {"-map", "0:v", "-map", "1:a"}), Concat(c.encoding, {clip})));
    // Two recordings joined as `cat` joins them: the clock starts again.
    const std::string joined = work / ("joined." + c.name.substr(c.name.find('.') + 1));
    ASSERT_EQ(RunCommand({"sh", "-c", "cat \"$0\" \"$0\" > \"$1\"", clip, joined}).exitCode, 0);
    const std::string target = work / "joined.mkv";
    const CommandResult run = RunQuorvex({joined, target, "-no24p"});
    ASSERT_EQ(run.exitCode, 0) << run.output << run.errorOutput;

    const std::vector<std::string> once = FrameHashes(clip, "0:v:0");
    ASSERT_EQ(once.size(), 75u);
    EXPECT_EQ(FrameHashes(target, "0:v:0"), Concat(once, once));
    EXPECT_EQ(SamplesMd5(target, "0:a:0"), SamplesMd5(joined, "0:a:0"));

    // Every frame has a time of its own, and the second recording's audio
    // starts where its video does, as in the recording itself.
    const std::vector<double> video = PacketTimes(target, "v:0");
    ASSERT_EQ(video.size(), 150u);
    EXPECT_EQ(std::adjacent_find(video.begin(), video.end()), video.end());
    const std::vector<double> audio = PacketTimes(target, "a:0");
    const size_t audioOnce = PacketTimes(clip, "a:0").size();
    ASSERT_EQ(audio.size(), 2 * audioOnce);
    const double videoShift = video[75] - video[0];
    const double audioShift = audio[audioOnce] - audio[0];
    EXPECT_NEAR(videoShift, audioShift, 0.040);
    EXPECT_GE(videoShift, 2.9);
  }
}

TEST(StreamFidelityE2eTest, AviWithBFramesIsShownInOrderFromTheStart) {
  struct Case {
    std::string name;
    std::vector<std::string> video;
  };
  const std::vector<Case> cases = {
      {"h264.avi", {"-c:v", "libx264", "-bf", "3"}},
      {"xvid.avi", {"-c:v", "mpeg4", "-vtag", "XVID", "-bf", "2"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDirectory work;
    const std::string source = work / c.name;
    RunFfmpeg(Concat(Concat({"-f", "lavfi", "-i", "testsrc2=duration=4:size=160x120:rate=25", "-f", "lavfi", "-i",
                             "sine=duration=4:frequency=440:sample_rate=48000", "-map", "0:v", "-map", "1:a"},
                            c.video),
                     {"-c:a", "ac3", source}));
    const std::string target = work / "movie.mkv";
    const CommandResult run = RunQuorvex({source, target});
    ASSERT_EQ(run.exitCode, 0) << run.output << run.errorOutput;

    const std::vector<std::string> frames = FrameHashes(source, "0:v:0");
    ASSERT_EQ(frames.size(), 100u);
    EXPECT_EQ(FrameHashes(target, "0:v:0"), frames);
    // One frame every 40 ms from 0, each at its own time: the display
    // order is in the times, not only in the decoder's reordering.
    const std::vector<double> video = PacketTimes(target, "v:0");
    ASSERT_EQ(video.size(), 100u);
    for (size_t i = 0; i < video.size(); ++i) EXPECT_NEAR(video[i], 0.04 * static_cast<double>(i), 0.0015) << i;
    EXPECT_NEAR(PacketTimes(target, "a:0").front(), 0.0, 0.0015);
    EXPECT_EQ(SamplesMd5(target, "0:a:0"), SamplesMd5(source, "0:a:0"));
  }
}

TEST(StreamFidelityE2eTest, AacInLatmBecomesPlainAacSampleForSample) {
  ScratchDirectory work;
  const std::string source = work / "dvb.ts";
  RunFfmpeg(Concat(kThreeSeconds, {"-map", "0:v", "-map", "1:a", "-c:v", "mpeg2video", "-c:a", "aac", "-ac", "2", "-f",
                                   "mpegts", "-mpegts_flags", "latm", source}));
  ASSERT_NE(
      RunCommand({"ffprobe", "-v", "error", "-show_entries", "stream=codec_name", source}).output.find("aac_latm"),
      std::string::npos);
  const std::string expected = SamplesMd5(source, "0:a:0");

  const std::string target = work / "dvb.mkv";
  const CommandResult run = RunQuorvex({source, target});
  ASSERT_EQ(run.exitCode, 0) << run.output << run.errorOutput;
  const CommandResult identify = RunCommand({"mkvmerge", "-J", target});
  EXPECT_NE(identify.output.find("\"codec_id\": \"A_AAC\""), std::string::npos) << identify.output;
  EXPECT_NE(identify.output.find("\"codec_private_data\": \"1190\""), std::string::npos) << identify.output;
  EXPECT_EQ(SamplesMd5(target, "0:a:0"), expected);

  const CommandResult demux = RunQuorvex({source, work / "dvb", "-demux"});
  ASSERT_EQ(demux.exitCode, 0) << demux.output << demux.errorOutput;
  const std::string raw = work / "dvb.2.mpa";
  EXPECT_EQ(RunCommand({"ffprobe", "-v", "error", "-show_entries", "format=format_name", "-of", "csv=p=0", raw}).output,
            "aac\n");
  EXPECT_EQ(SamplesMd5(raw, "0:a:0"), expected);
}

}  // namespace
}  // namespace quorvex::e2e
