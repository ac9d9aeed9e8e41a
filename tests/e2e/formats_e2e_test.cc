// Every input format of the usage screen, remuxed and demuxed by the real
// binary, on small files that ffmpeg makes with the codecs such files carry.
// The output is judged by independent tools only: ffmpeg's decoded-frame
// hashes (nothing lost or altered), ffprobe's stream lists and mkvmerge.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace quorvex::e2e {
namespace {

namespace fs = std::filesystem;

const std::string kMuxing = "Muxing source file to Matroska container. Please wait...";
const std::string kDemuxing = "Demuxing source file streams. Please wait...";

// Two seconds of small pictures and a tone, as ffmpeg input arguments.
std::vector<std::string> Sources(const std::string& size = "160x120", const std::string& rate = "25") {
  return {"-f", "lavfi", "-i", "testsrc2=duration=2:size=" + size + ":rate=" + rate,
          "-f", "lavfi", "-i", "sine=duration=2:frequency=440:sample_rate=48000"};
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The MD5 of every decoded frame of one stream, in order; the timestamps
// are left out, since a remux may shift them.
std::vector<std::string> FrameHashes(const std::string& file, const std::string& map) {
  CommandResult result = RunCommand({"ffmpeg", "-v", "error", "-i", file, "-map", map, "-f", "framemd5", "-"});
  EXPECT_EQ(result.exitCode, 0) << file << " " << map << ": " << result.errorOutput;
  std::vector<std::string> hashes;
  for (const std::string& line : Lines(result.output)) {
    if (line.empty() || line[0] == '#') continue;
    hashes.push_back(line.substr(line.rfind(',') + 1));
  }
  return hashes;
}

void ExpectSameFrames(const std::string& source, const std::string& sourceMap, const std::string& copy,
                      const std::string& copyMap) {
  const std::vector<std::string> expected = FrameHashes(source, sourceMap);
  ASSERT_FALSE(expected.empty()) << source << " " << sourceMap;
  EXPECT_EQ(FrameHashes(copy, copyMap), expected) << copy << " " << copyMap << " against " << source;
}

// "codec_type,codec_name" of every stream, in order.
std::vector<std::string> Streams(const std::string& file) {
  CommandResult result =
      RunCommand({"ffprobe", "-v", "error", "-show_entries", "stream=codec_type,codec_name", "-of", "csv=p=0", file});
  EXPECT_EQ(result.exitCode, 0) << file << ": " << result.errorOutput;
  std::vector<std::string> streams;
  for (const std::string& line : Lines(result.output)) {
    // ffprobe adds an empty field for some codecs' side data.
    if (!line.empty()) streams.push_back(line.substr(0, line.find_last_not_of(',') + 1));
  }
  return streams;
}

std::string Probe(const std::string& file, const std::string& entries, const std::string& streams = "") {
  std::vector<std::string> arguments{"ffprobe", "-v", "error"};
  if (!streams.empty()) arguments.insert(arguments.end(), {"-select_streams", streams});
  arguments.insert(arguments.end(), {"-show_entries", entries, "-of", "default=nw=1:nk=1", file});
  return RunCommand(arguments).output;
}

// Fixtures are made once for the whole suite; each test copies the ones it
// works on into its own folder, so outputs never meet.
class FormatsE2eTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    fixtures_ = std::make_unique<ScratchDirectory>();
    const ScratchDirectory& f = *fixtures_;
    // Blu-ray-like: H.264 with B-frames, AC-3 and E-AC-3, 192-byte packets,
    // and LPCM as Blu-ray stores it.
    RunFfmpeg(Join(Sources(), {"-map",
                               "0:v",
                               "-map",
                               "1:a",
                               "-map",
                               "1:a",
                               "-map",
                               "1:a",
                               "-c:v",
                               "libx264",
                               "-bf",
                               "2",
                               "-g",
                               "12",
                               "-c:a:0",
                               "ac3",
                               "-c:a:1",
                               "eac3",
                               "-c:a:2",
                               "pcm_bluray",
                               "-metadata:s:a:0",
                               "language=eng",
                               "-metadata:s:a:1",
                               "language=ger",
                               "-mpegts_m2ts_mode",
                               "1",
                               "-f",
                               "mpegts",
                               f / "movie.m2ts"}));
    // Broadcast-like: H.264 with parameter sets at every key frame, AAC
    // (ADTS) and MP2, clock far from zero.
    RunFfmpeg(Join(Sources(), {"-map", "0:v", "-map", "1:a", "-map", "1:a", "-c:v", "libx264", "-g", "12", "-c:a:0",
                               "aac", "-c:a:1", "mp2", "-output_ts_offset", "5000", f / "movie.ts"}));
    // DVD-like: MPEG-2 at a rate so low that several frames share a PES
    // packet, so most frames come without a PTS ("ffmpeg -c copy" fails on
    // it with "Can't write packet with unknown timestamp").
    RunFfmpeg(Join(Sources(), {"-map", "0:v", "-map", "1:a", "-c:v", "mpeg2video", "-b:v", "100k", "-bf", "2", "-g",
                               "12", "-c:a", "ac3", "-f", "vob", f / "movie.vob"}));
    // HD DVD-like programme stream: MPEG-2, AC-3 and DTS.
    RunFfmpeg(Join(Sources(), {"-map", "0:v", "-map", "1:a", "-map", "1:a", "-c:v", "mpeg2video", "-c:a:0", "ac3",
                               "-c:a:1", "dca", "-strict", "-2", "-f", "vob", f / "movie.evo"}));
    RunFfmpeg(Join(Sources(), {"-map", "0:v", "-map", "1:a", "-c:v", "mpeg4", "-c:a", "pcm_s16le", f / "movie.avi"}));
    RunFfmpeg(Join(Sources(), {"-map", "0:v", "-map", "1:a", "-c:v", "wmv2", "-c:a", "wmav2", f / "movie.wmv"}));
    // HEVC, as UHD Blu-ray and broadcast carry it: in a transport stream as
    // a byte stream, in Matroska with its parameter sets in the header.
    for (const char* name : {"hevc.ts", "hevc.mkv"}) {
      RunFfmpeg(Join(Sources(), {"-map", "0:v", "-map", "1:a", "-c:v", "libx265", "-preset", "ultrafast",
                                 "-x265-params", "log-level=error", "-c:a", "aac", f / name}));
    }
    // Matroska with a subtitle track and described tracks.
    WriteSubtitles(f / "subtitles.srt");
    RunFfmpeg(Join(Sources(), {"-i",
                               f / "subtitles.srt",
                               "-map",
                               "0:v",
                               "-map",
                               "1:a",
                               "-map",
                               "1:a",
                               "-map",
                               "2:s",
                               "-c:v",
                               "libx264",
                               "-c:a:0",
                               "aac",
                               "-c:a:1",
                               "ac3",
                               "-c:s",
                               "srt",
                               "-metadata:s:a:0",
                               "language=fre",
                               "-metadata:s:a:0",
                               "title=Commentary",
                               "-metadata:s:a:1",
                               "language=jpn",
                               "-disposition:a:0",
                               "0",
                               "-disposition:a:1",
                               "default",
                               f / "movie.mkv"}));
  }
  static void TearDownTestSuite() { fixtures_.reset(); }

  static void WriteSubtitles(const std::string& path) {
    const std::string text = "1\n00:00:00,200 --> 00:00:01,000\nHello\n\n2\n00:00:01,200 --> 00:00:01,800\nWorld\n";
    ASSERT_EQ(RunCommand({"sh", "-c", "printf '%s' \"$0\" > \"$1\"", text, path}).exitCode, 0);
  }

  // Copies a fixture into this test's folder and answers its new path.
  std::string Fixture(const std::string& name) {
    const std::string target = work_ / name;
    fs::copy_file((*fixtures_) / name, target, fs::copy_options::overwrite_existing);
    return target;
  }

  static std::unique_ptr<ScratchDirectory> fixtures_;
  ScratchDirectory work_;
};

std::unique_ptr<ScratchDirectory> FormatsE2eTest::fixtures_;

struct RemuxCase {
  std::string source;
  std::vector<std::string> options;
  std::vector<std::string> copiedStreams;  // maps into the source, in output order
  std::vector<std::string> outputStreams;  // ffprobe's codec_type,codec_name of the output
};

TEST_F(FormatsE2eTest, EveryFormatRemuxesFrameExact) {
  const std::vector<RemuxCase> cases = {
      {"movie.ts", {}, {"0:0", "0:1", "0:2"}, {"h264,video", "aac,audio", "mp2,audio"}},
      {"movie.m2ts", {}, {"0:0", "0:1", "0:2", "0:3"}, {"h264,video", "ac3,audio", "eac3,audio", "pcm_s16le,audio"}},
      {"movie.vob", {}, {"0:v:0", "0:a:0"}, {"mpeg2video,video", "ac3,audio"}},
      {"movie.evo", {}, {"0:v:0", "0:a:0", "0:a:1"}, {"mpeg2video,video", "ac3,audio", "dts,audio"}},
      {"movie.avi", {}, {"0:0", "0:1"}, {"mpeg4,video", "pcm_s16le,audio"}},
      {"movie.wmv", {}, {"0:0", "0:1"}, {"wmv2,video", "wmav2,audio"}},
      {"hevc.ts", {}, {"0:0", "0:1"}, {"hevc,video", "aac,audio"}},
      // A Matroska source is remuxed only with a flag; its audio is checked below.
      {"movie.mkv", {"-videoOnly"}, {"0:0"}, {"h264,video"}},
  };
  for (const RemuxCase& c : cases) {
    SCOPED_TRACE(c.source);
    const std::string source = Fixture(c.source);
    const std::string target = work_ / (c.source + ".out.mkv");
    // -no24p keeps the frames' own times, so they can be compared.
    std::vector<std::string> arguments{source, target, "-no24p"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    CommandResult run = RunQuorvex(arguments);
    ASSERT_EQ(run.exitCode, 0) << run.output << run.errorOutput;
    EXPECT_EQ(Lines(run.output), (std::vector<std::string>{kMuxing, "Done."}));
    ASSERT_EQ(Streams(target), c.outputStreams);
    for (size_t i = 0; i < c.copiedStreams.size(); ++i) {
      ExpectSameFrames(source, c.copiedStreams[i], target, "0:" + std::to_string(i));
    }
    CommandResult identify = RunCommand({"mkvmerge", "--identify", target});
    EXPECT_EQ(identify.exitCode, 0) << identify.output;
    EXPECT_EQ(identify.output.find("arning"), std::string::npos) << identify.output;
  }
}

TEST_F(FormatsE2eTest, OutputStartsAtZeroWithAudioAndVideoInStep) {
  const std::string source = Fixture("movie.ts");  // its clock starts past 5000 s
  const std::string target = work_ / "movie.mkv";
  ASSERT_EQ(RunQuorvex({source}).exitCode, 0);
  const double videoStart = std::stod(Probe(source, "stream=start_time", "v:0"));
  const double audioStart = std::stod(Probe(source, "stream=start_time", "a:0"));
  const double copiedVideoStart = std::stod(Probe(target, "stream=start_time", "v:0"));
  const double copiedAudioStart = std::stod(Probe(target, "stream=start_time", "a:0"));
  EXPECT_GT(videoStart, 4999.0);
  EXPECT_LT(std::min(copiedVideoStart, copiedAudioStart), 0.002);
  EXPECT_NEAR(copiedVideoStart - copiedAudioStart, videoStart - audioStart, 0.002);
  // Cues, so players can seek.
  EXPECT_NE(RunCommand({"mkvinfo", "-a", target}).output.find("Cue point"), std::string::npos);
}

TEST_F(FormatsE2eTest, TrackLanguageTitleAndDefaultFlagSurvive) {
  const std::string source = Fixture("movie.mkv");
  const std::string target = work_ / "copy.mkv";
  ASSERT_EQ(RunQuorvex({source, target, "-audioOnly"}).exitCode, 0);
  EXPECT_EQ(Streams(target), (std::vector<std::string>{"aac,audio", "ac3,audio"}));
  EXPECT_EQ(Probe(target, "stream_tags=language", "a:0"), "fre\n");
  EXPECT_EQ(Probe(target, "stream_tags=title", "a:0"), "Commentary\n");
  EXPECT_EQ(Probe(target, "stream_tags=language", "a:1"), "jpn\n");
  EXPECT_EQ(Probe(target, "stream_disposition=default", "a:0"), "0\n");
  EXPECT_EQ(Probe(target, "stream_disposition=default", "a:1"), "1\n");
  ExpectSameFrames(source, "0:1", target, "0:0");
  ExpectSameFrames(source, "0:2", target, "0:1");
}

TEST_F(FormatsE2eTest, VideoOnlyAndAudioOnlyTakeExactlyTheirStreams) {
  const std::string source = Fixture("movie.evo");
  const std::string video = work_ / "video.mkv";
  const std::string audio = work_ / "audio.mkv";
  ASSERT_EQ(RunQuorvex({source, video, "-videoOnly", "-no24p"}).exitCode, 0);
  ASSERT_EQ(RunQuorvex({source, audio, "-audioOnly", "-no24p"}).exitCode, 0);
  EXPECT_EQ(Streams(video), (std::vector<std::string>{"mpeg2video,video"}));
  EXPECT_EQ(Streams(audio), (std::vector<std::string>{"ac3,audio", "dts,audio"}));
  ExpectSameFrames(source, "0:a:1", audio, "0:1");
}

TEST_F(FormatsE2eTest, DemuxWritesEachWantedStreamAsAPlayableRawFile) {
  struct DemuxCase {
    std::string source;
    std::vector<std::string> options;
    // Output file, the source stream it holds, ffprobe's view of it.
    std::vector<std::vector<std::string>> outputs;
  };
  const std::vector<DemuxCase> cases = {
      {"movie.mkv",
       {},
       {{"out.1.mpv", "0:0", "h264,video"}, {"out.2.mpa", "0:1", "aac,audio"}, {"out.3.mpa", "0:2", "ac3,audio"}}},
      {"movie.ts", {"-audioOnly"}, {{"out.2.mpa", "0:1", "aac,audio"}, {"out.3.mpa", "0:2", "mp2,audio"}}},
      {"movie.vob", {"-videoOnly"}, {{"out.1.mpv", "0:v:0", "mpeg2video,video"}}},
      {"hevc.mkv", {}, {{"out.1.mpv", "0:0", "hevc,video"}, {"out.2.mpa", "0:1", "aac,audio"}}},
  };
  for (const DemuxCase& c : cases) {
    SCOPED_TRACE(c.source);
    ScratchDirectory folder;
    const std::string source = Fixture(c.source);
    std::vector<std::string> arguments{source, folder / "out.mkv", "-demux"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    CommandResult run = RunQuorvex(arguments);
    ASSERT_EQ(run.exitCode, 0) << run.output << run.errorOutput;
    EXPECT_EQ(Lines(run.output), (std::vector<std::string>{kDemuxing, "Done."}));
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder.path())) ++files;
    EXPECT_EQ(files, c.outputs.size());
    for (const std::vector<std::string>& output : c.outputs) {
      const std::string file = folder / output[0];
      ASSERT_EQ(Streams(file), (std::vector<std::string>{output[2]})) << file;
      ExpectSameFrames(source, output[1], file, "0:0");
    }
  }
}

TEST_F(FormatsE2eTest, BluRayStreamAt25FpsKeepsItsOwnTiming) {
  // The default 23.976 re-time suits film only: this sample runs at 25 fps.
  const std::string source = Fixture("movie.m2ts");
  CommandResult run = RunQuorvex({source});
  ASSERT_EQ(run.exitCode, 0) << run.output << run.errorOutput;
  EXPECT_EQ(Lines(run.output),
            (std::vector<std::string>{kMuxing, "The video runs at 25.000 fps: its own timing is kept.", "Done."}));
  const std::string target = work_ / "movie.mkv";
  EXPECT_FALSE(fs::exists(work_ / "movie.old.mkv"));
  // mkvmerge -J gives the frame duration in nanoseconds: 1/25 s.
  const CommandResult identify = RunCommand({"mkvmerge", "-J", target});
  EXPECT_NE(identify.output.find("\"default_duration\": 40000000"), std::string::npos) << identify.output;
  ExpectSameFrames(source, "0:0", target, "0:0");
}

TEST_F(FormatsE2eTest, OddStreamsNeverFailTheWholeRemux) {
  // A track Matroska cannot hold (SMPTE 302M audio) is left out, named on
  // standard error; the rest is copied and the run succeeds.
  const std::string broadcast = work_ / "s302m.ts";
  RunFfmpeg(Join(Sources(), {"-map", "0:v", "-map", "1:a", "-map", "1:a", "-c:v", "mpeg2video", "-c:a:0", "s302m",
                             "-ac:a:0", "2", "-strict", "-2", "-c:a:1", "mp2", broadcast}));
  CommandResult leftOut = RunQuorvex({broadcast, "-no24p"});
  ASSERT_EQ(leftOut.exitCode, 0) << leftOut.output << leftOut.errorOutput;
  EXPECT_EQ(Lines(leftOut.output), (std::vector<std::string>{kMuxing, "Done."}));
  EXPECT_EQ(Lines(leftOut.errorOutput),
            std::vector<std::string>{"quorvex: Audio 2 (codec s302m) cannot be stored in Matroska; it is left out."});
  EXPECT_EQ(Streams(work_ / "s302m.mkv"), (std::vector<std::string>{"mpeg2video,video", "mp2,audio"}));

  // Cut at both ends: the copy starts mid-GOP, without parameter sets at its
  // head, and its last packet is truncated.
  const std::string source = Fixture("movie.ts");
  const std::string cut = work_ / "cut.ts";
  ASSERT_EQ(RunCommand({"sh", "-c", "tail -c +30081 \"$0\" | head -c 90000 > \"$1\"", source, cut}).exitCode, 0);
  CommandResult run = RunQuorvex({cut, "-no24p"});
  ASSERT_EQ(run.exitCode, 0) << run.output << run.errorOutput;
  const std::vector<std::string> streams = Streams(work_ / "cut.mkv");
  ASSERT_FALSE(streams.empty());
  EXPECT_EQ(streams.front(), "h264,video");
  EXPECT_EQ(RunCommand({"mkvmerge", "--identify", work_ / "cut.mkv"}).exitCode, 0);
}

TEST_F(FormatsE2eTest, WmvSplitterOpensOnlyAsf) {
  const std::string disguised = work_ / "transport.wmv";
  fs::copy_file((*fixtures_) / "movie.ts", disguised);
  CommandResult run = RunQuorvex({disguised});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(Lines(run.output), (std::vector<std::string>{kMuxing, "Loading source file failed."}));
  EXPECT_FALSE(fs::exists(work_ / "transport.mkv"));
  // The content decides for every other name.
  const std::string renamed = work_ / "asf.avi";
  fs::copy_file((*fixtures_) / "movie.wmv", renamed);
  EXPECT_EQ(RunQuorvex({renamed}).exitCode, 0);
}

}  // namespace
}  // namespace quorvex::e2e
