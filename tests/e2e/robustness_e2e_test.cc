// Real recordings are rarely clean: cut anywhere, carrying streams a player
// ignores, with odd timestamps. These tests make such sources with ffmpeg,
// run the real binary on them and check the result with ffprobe, ffmpeg and
// mkvmerge: every wanted stream that Matroska can hold arrives, and a run that
// cannot succeed says so, leaves no partial file and never touches the source.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e_support.h"
#include "robustness_support.h"

namespace quorvex::e2e {
namespace {

namespace fs = std::filesystem;

const char kMuxing[] = "Muxing source file to Matroska container. Please wait...";
const char kDemuxing[] = "Demuxing source file streams. Please wait...";
const char kDone[] = "Done.";
const char kLoadFailed[] = "Loading source file failed.";
const char kStartFailed[] = "Starting muxing failed.";
const char kErrorAbort[] = "An error ocurred during muxing.";

constexpr uintmax_t kTsPacket = 188;

using Arguments = std::vector<std::string>;

Arguments operator+(Arguments a, const Arguments& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Inputs and encoders for small fixtures: a moving picture, tones, and H.264
// with B-frames and a GOP of one second, as broadcasts have.
const Arguments kPicture{"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25"};
const Arguments kTone{"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=48000"};
const Arguments kH264{"-c:v", "libx264", "-preset", "superfast", "-bf", "2", "-g", "25", "-pix_fmt", "yuv420p"};

std::vector<std::string> OutputLines(const CommandResult& result) {
  std::vector<std::string> lines = Lines(result.output);
  for (std::string& line : lines) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
  }
  return lines;
}

// A transport stream of H.264 and English AC-3.
void MakeTransportStream(const std::string& path, const std::string& seconds, const Arguments& extra = {}) {
  RunFfmpeg(kPicture + kTone + Arguments{"-t", seconds} + kH264 +
            Arguments{"-c:a", "ac3", "-b:a", "128k", "-metadata:s:a:0", "language=eng"} + extra +
            Arguments{"-f", "mpegts", path});
}

// An MPEG program stream whose tiny pictures share 2048-byte packs, so most
// PES packets carry no PTS and the frames' times must be derived.
void MakeProgramStream(const std::string& path) {
  RunFfmpeg(Arguments{"-f", "lavfi", "-i", "color=c=gray:size=160x120:rate=25"} + kTone +
            Arguments{"-t", "3", "-c:v", "mpeg2video", "-q:v", "31", "-g", "12", "-c:a", "ac3", "-b:a", "64k", "-f",
                      "vob", path});
}

uintmax_t SizeOf(const std::string& path) { return fs::file_size(path); }

struct OddSource {
  const char* name;
  const char* fileName;
  std::function<void(const ScratchDirectory&, const std::string& source)> make;
  std::string sourceKinds;  // what ffprobe sees in the fixture: proves the oddity is there
  std::string outputKinds;  // video and audio, in source order
  long packetSlack;         // packets a stream may lose: those before the first keyframe of a cut file
  bool sameFrames;          // decoded pictures equal the source's, one for one
  Arguments extraArguments;
};

void PrintTo(const OddSource& source, std::ostream* os) { *os << source.name; }

const OddSource kOddSources[] = {
    {"TransportStreamCutMidGop",
     "cut.ts",
     [](const ScratchDirectory& dir, const std::string& source) {
       const std::string whole = dir / "whole.ts";
       MakeTransportStream(whole, "4");
       // A fifth in lies within the first GOP; a cut on a packet boundary,
       // as a recorder that starts late makes it.
       CopyRange(whole, source, SizeOf(whole) / kTsPacket / 5 * kTsPacket, UINTMAX_MAX);
       fs::remove(whole);
     },
     "video:h264 audio:ac3",
     "video:h264 audio:ac3",
     25,
     false,
     {}},
    {"TransportStreamCutMidPacket",
     "cut-packet.ts",
     [](const ScratchDirectory& dir, const std::string& source) {
       const std::string whole = dir / "whole.ts";
       MakeTransportStream(whole, "4");
       // A cut anywhere, as a copy tool that knows nothing of packets makes it.
       CopyRange(whole, source, SizeOf(whole) / kTsPacket / 5 * kTsPacket + 77, UINTMAX_MAX);
       fs::remove(whole);
     },
     "video:h264 audio:ac3",
     "video:h264 audio:ac3",
     25,
     false,
     {}},
    {"BluRayStreamCutMidGop",
     "cut.m2ts",
     [](const ScratchDirectory& dir, const std::string& source) {
       const std::string whole = dir / "whole.m2ts";
       MakeTransportStream(whole, "4", {"-mpegts_m2ts_mode", "1"});
       constexpr uintmax_t kM2tsPacket = 192;
       CopyRange(whole, source, SizeOf(whole) / kM2tsPacket / 5 * kM2tsPacket, UINTMAX_MAX);
       fs::remove(whole);
     },
     "video:h264 audio:ac3",
     "video:h264 audio:ac3",
     25,
     false,
     {"-no24p"}},
    {"TransportStreamWithTruncatedLastPacket",
     "truncated.ts",
     [](const ScratchDirectory& dir, const std::string& source) {
       const std::string whole = dir / "whole.ts";
       MakeTransportStream(whole, "3");
       CopyRange(whole, source, 0, SizeOf(whole) - 100);
       fs::remove(whole);
     },
     "video:h264 audio:ac3",
     "video:h264 audio:ac3",
     2,
     false,
     {}},
    {"TransportStreamWithCorruptBlock",
     "corrupt.ts",
     [](const ScratchDirectory&, const std::string& source) {
       MakeTransportStream(source, "3");
       Overwrite(source, SizeOf(source) / 2, RandomBytes(16 * 1024, 7));
     },
     "video:h264 audio:ac3",
     "video:h264 audio:ac3",
     30,
     false,
     {}},
    {"TransportStreamWithDataStream",
     "data.ts",
     [](const ScratchDirectory& dir, const std::string& source) {
       // ffmpeg muxes SubRip into a transport stream as private data, which
       // is what readers then see: a stream that is neither video nor audio.
       const std::string subtitles = dir / "lines.srt";
       WriteBytes(subtitles, "1\n00:00:00,500 --> 00:00:01,500\nHello\n\n2\n00:00:01,600 --> 00:00:01,900\nWorld\n\n");
       RunFfmpeg(kPicture + kTone + Arguments{"-i", subtitles, "-t", "2", "-map", "0", "-map", "1", "-map", "2"} +
                 kH264 + Arguments{"-c:a", "ac3", "-c:s", "copy", "-f", "mpegts", source});
     },
     "video:h264 audio:ac3 data:bin_data",
     "video:h264 audio:ac3",
     0,
     true,
     {}},
    {"TransportStreamWithEac3",
     "eac3.ts",
     [](const ScratchDirectory&, const std::string& source) {
       MakeTransportStream(source, "2", {"-c:a", "eac3", "-metadata:s:a:0", "language=fra"});
     },
     "video:h264 audio:eac3",
     "video:h264 audio:eac3",
     0,
     true,
     {}},
    {"BluRayStreamWithTrueHdAndAc3",
     "truehd.m2ts",
     [](const ScratchDirectory&, const std::string& source) {
       RunFfmpeg(kPicture + kTone + kTone + Arguments{"-t", "2", "-map", "0", "-map", "1", "-map", "2"} + kH264 +
                 Arguments{"-c:a:0", "truehd", "-strict", "-2", "-c:a:1", "ac3", "-metadata:s:a:0", "language=eng",
                           "-metadata:s:a:1", "language=deu", "-f", "mpegts", "-mpegts_m2ts_mode", "1", source});
     },
     // Readers announce an AC-3 core beside every TrueHD stream of a Blu-ray
     // stream; this encoder writes none, so that one stays empty and is no
     // track worth a player's choice.
     "video:h264 audio:truehd audio:ac3 audio:ac3",
     "video:h264 audio:truehd audio:ac3",
     0,
     true,
     {"-no24p"}},
    {"TransportStreamWithTwoVideoStreams",
     "two-video.ts",
     [](const ScratchDirectory&, const std::string& source) {
       RunFfmpeg(kPicture + Arguments{"-f", "lavfi", "-i", "testsrc=size=176x144:rate=25"} + kTone +
                 Arguments{"-t", "2", "-map", "0", "-map", "1", "-map", "2"} + kH264 +
                 Arguments{"-c:v:1", "mpeg2video", "-c:a", "ac3", "-f", "mpegts", source});
     },
     "video:h264 video:mpeg2video audio:ac3",
     "video:h264 video:mpeg2video audio:ac3",
     0,
     true,
     {}},
    {"AsfWithTwoVideoStreams",
     "multi-rate.wmv",
     [](const ScratchDirectory&, const std::string& source) {
       RunFfmpeg(kPicture + Arguments{"-f", "lavfi", "-i", "testsrc=size=176x144:rate=25"} + kTone +
                 Arguments{"-t", "2", "-map", "0", "-map", "1", "-map", "2", "-c:v:0", "wmv2", "-c:v:1", "wmv1", "-c:a",
                           "wmav2", "-f", "asf", source});
     },
     "video:wmv2 video:wmv1 audio:wmav2",
     "video:wmv2 video:wmv1 audio:wmav2",
     0,
     true,
     {}},
    {"ProgramStreamWithPacketsWithoutPts",
     "no-pts.vob",
     [](const ScratchDirectory&, const std::string& source) { MakeProgramStream(source); },
     "video:mpeg2video audio:ac3",
     "video:mpeg2video audio:ac3",
     0,
     true,
     {}},
    {"ProgramStreamWithNavigationPacks",
     "nav.vob",
     [](const ScratchDirectory&, const std::string& source) {
       MakeProgramStream(source);
       AddNavigationPacks(source);
     },
     "data:dvd_nav_packet video:mpeg2video audio:ac3",
     "video:mpeg2video audio:ac3",
     0,
     true,
     {}},
    {"TransportStreamStartingFarFromZero",
     "late.ts",
     [](const ScratchDirectory&, const std::string& source) {
       MakeTransportStream(source, "2", {"-output_ts_offset", "10000"});
     },
     "video:h264 audio:ac3",
     "video:h264 audio:ac3",
     0,
     true,
     {}},
};

class RemuxOfOddSource : public ::testing::TestWithParam<OddSource> {};

TEST_P(RemuxOfOddSource, CopiesEveryWantedStreamAndLeavesTheSourceAlone) {
  const OddSource& odd = GetParam();
  ScratchDirectory dir;
  const std::string source = dir / odd.fileName;
  const std::string destination = dir / "out.mkv";
  ASSERT_NO_FATAL_FAILURE(odd.make(dir, source));
  const std::vector<ProbedStream> sourceStreams = ProbeStreams(source);
  ASSERT_EQ(StreamKinds(sourceStreams), odd.sourceKinds) << "the fixture is not what the test needs";
  const std::vector<ProbedStream> wanted = VideoAndAudio(sourceStreams);
  ASSERT_EQ(StreamKinds(wanted), odd.outputKinds);
  const FileState before = StateOf(source);

  const CommandResult run = RunQuorvex(Arguments{source, destination} + odd.extraArguments);

  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
  EXPECT_EQ(OutputLines(run), (std::vector<std::string>{kMuxing, kDone}));
  EXPECT_TRUE(StateOf(source) == before) << "the source was changed";
  const std::vector<ProbedStream> output = ProbeStreams(destination);
  ASSERT_EQ(StreamKinds(output), odd.outputKinds);
  EXPECT_EQ(RunCommand({"mkvmerge", "--identify", destination}).exitCode, 0) << "mkvmerge does not read the output";

  double earliest = 1e9;
  for (size_t i = 0; i < output.size(); ++i) {
    SCOPED_TRACE("stream " + std::to_string(i) + " " + output[i].codec);
    EXPECT_LE(output[i].packets, wanted[i].packets);
    EXPECT_GE(output[i].packets, wanted[i].packets - odd.packetSlack);
    if (!wanted[i].language.empty()) {
      EXPECT_EQ(output[i].language, wanted[i].language);
    }
    earliest = std::min(earliest, output[i].startTime);
  }
  EXPECT_LT(earliest, 0.2) << "timestamps do not start at zero";
  if (odd.sameFrames) {
    // Nothing lost, nothing cut: every stream keeps its place against the
    // first video stream, within Matroska's millisecond.
    for (size_t i = 1; i < output.size(); ++i) {
      EXPECT_NEAR(output[i].startTime - output[0].startTime, wanted[i].startTime - wanted[0].startTime, 0.0025)
          << "stream " << i << " moved against the video";
    }
    EXPECT_EQ(VideoFrameHashes(destination), VideoFrameHashes(source));
  }
}

INSTANTIATE_TEST_SUITE_P(Robustness, RemuxOfOddSource, ::testing::ValuesIn(kOddSources),
                         [](const ::testing::TestParamInfo<OddSource>& param) { return param.param.name; });

TEST(RobustnessDemux, ProgramStreamWithoutPtsAndNavigationPacksGivesEveryPicture) {
  ScratchDirectory dir;
  const std::string source = dir / "movie.vob";
  ASSERT_NO_FATAL_FAILURE(MakeProgramStream(source));
  ASSERT_NO_FATAL_FAILURE(AddNavigationPacks(source));
  const std::vector<ProbedStream> sourceStreams = ProbeStreams(source);
  ASSERT_EQ(StreamKinds(sourceStreams), "data:dvd_nav_packet video:mpeg2video audio:ac3");
  const FileState before = StateOf(source);

  const CommandResult run = RunQuorvex({source, "-demux"});

  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
  EXPECT_EQ(OutputLines(run), (std::vector<std::string>{kDemuxing, kDone}));
  EXPECT_TRUE(StateOf(source) == before) << "the source was changed";
  // The navigation data comes first, as on a disc; it is neither video nor
  // audio and gets no file, but it counts in the streams' numbers.
  EXPECT_EQ(DirectoryNames(dir.path()), (std::vector<std::string>{"movie.2.mpv", "movie.3.mpa", "movie.vob"}));
  EXPECT_EQ(VideoFrameHashes(dir / "movie.2.mpv", "mpegvideo"), VideoFrameHashes(source));
  const std::vector<ProbedStream> audio = ProbeStreams(dir / "movie.3.mpa", "ac3");
  ASSERT_EQ(StreamKinds(audio), "audio:ac3");
  EXPECT_EQ(audio[0].packets, sourceStreams[2].packets);
}

TEST(RobustnessDemux, TransportStreamCutMidGopGivesReadableStreams) {
  ScratchDirectory dir;
  const std::string whole = dir / "whole.ts";
  const std::string source = dir / "movie.ts";
  ASSERT_NO_FATAL_FAILURE(MakeTransportStream(whole, "4"));
  ASSERT_NO_FATAL_FAILURE(CopyRange(whole, source, SizeOf(whole) / kTsPacket / 5 * kTsPacket, UINTMAX_MAX));
  fs::remove(whole);
  const std::vector<ProbedStream> sourceStreams = ProbeStreams(source);
  ASSERT_EQ(StreamKinds(sourceStreams), "video:h264 audio:ac3");

  const CommandResult run = RunQuorvex({source, "-demux"});

  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
  EXPECT_EQ(OutputLines(run), (std::vector<std::string>{kDemuxing, kDone}));
  const std::vector<ProbedStream> video = ProbeStreams(dir / "movie.1.mpv", "h264");
  const std::vector<ProbedStream> audio = ProbeStreams(dir / "movie.2.mpa", "ac3");
  ASSERT_EQ(StreamKinds(video), "video:h264");
  ASSERT_EQ(StreamKinds(audio), "audio:ac3");
  EXPECT_GE(video[0].packets, sourceStreams[0].packets - 25);
  EXPECT_GE(audio[0].packets, sourceStreams[1].packets - 2);
}

// Runs that cannot succeed: the failure line of the step that failed, exit
// code 1, no new file anywhere in the scratch folder, the source untouched.
struct FailingRun {
  const char* name;
  // Makes what the run needs and answers its arguments.
  std::function<Arguments(const ScratchDirectory&)> prepare;
  std::vector<std::string> lines;
};

void PrintTo(const FailingRun& run, std::ostream* os) { *os << run.name; }

std::string MakeValidSource(const ScratchDirectory& dir) {
  const std::string source = dir / "movie.ts";
  MakeTransportStream(source, "1");
  return source;
}

std::string MakeTextFile(const ScratchDirectory& dir) {
  const std::string source = dir / "notes.ts";
  WriteBytes(source, "This is a shopping list, not a movie.\nMilk\nBread\n");
  return source;
}

std::string MakeEmptyFile(const ScratchDirectory& dir) {
  const std::string source = dir / "empty.ts";
  WriteBytes(source, "");
  return source;
}

std::string MakeNoise(const ScratchDirectory& dir) {
  const std::string source = dir / "noise.ts";
  WriteBytes(source, RandomBytes(64 * 1024, 5));
  return source;
}

std::string MakeStub(const ScratchDirectory& dir) {
  // Less than one transport packet of a real recording.
  const std::string whole = dir / "whole.ts";
  const std::string source = dir / "stub.ts";
  MakeTransportStream(whole, "1");
  CopyRange(whole, source, 0, 100);
  fs::remove(whole);
  return source;
}

std::string MakeFolder(const ScratchDirectory& dir) {
  const std::string source = dir / "folder.ts";
  fs::create_directory(source);
  return source;
}

// As root, permissions stop nothing: a path below a regular file, and /proc,
// which creates no files for anyone, stand in for a folder that cannot be
// written. The read-only mount below is the genuine case where mounting is
// allowed.
const FailingRun kFailingRuns[] = {
    {"TextFile", [](const ScratchDirectory& dir) { return Arguments{MakeTextFile(dir)}; }, {kMuxing, kLoadFailed}},
    {"EmptyFile", [](const ScratchDirectory& dir) { return Arguments{MakeEmptyFile(dir)}; }, {kMuxing, kLoadFailed}},
    {"RandomBytes", [](const ScratchDirectory& dir) { return Arguments{MakeNoise(dir)}; }, {kMuxing, kLoadFailed}},
    {"StubOfTransportStream",
     [](const ScratchDirectory& dir) { return Arguments{MakeStub(dir)}; },
     {kMuxing, kLoadFailed}},
    {"Folder",
     [](const ScratchDirectory& dir) {
       return Arguments{MakeFolder(dir), dir / "out.mkv"};
     },
     {kMuxing, kLoadFailed}},
    {"DemuxTextFile",
     [](const ScratchDirectory& dir) {
       return Arguments{MakeTextFile(dir), "-demux"};
     },
     {kDemuxing, kLoadFailed}},
    {"DemuxEmptyFile",
     [](const ScratchDirectory& dir) {
       return Arguments{MakeEmptyFile(dir), "-demux"};
     },
     {kDemuxing, kLoadFailed}},
    {"DemuxFolder",
     [](const ScratchDirectory& dir) {
       return Arguments{MakeFolder(dir), "-demux"};
     },
     {kDemuxing, kLoadFailed}},
    {"DestinationFolderMissing",
     [](const ScratchDirectory& dir) {
       return Arguments{MakeValidSource(dir), dir / "missing/out.mkv"};
     },
     {kMuxing, kStartFailed}},
    {"DestinationFolderIsAFile",
     [](const ScratchDirectory& dir) {
       WriteBytes(dir / "plain.txt", "a file, not a folder\n");
       return Arguments{MakeValidSource(dir), dir / "plain.txt/out.mkv"};
     },
     {kMuxing, kStartFailed}},
    {"DestinationFolderRefusesFiles",
     [](const ScratchDirectory& dir) {
       return Arguments{MakeValidSource(dir), "/proc/quorvex-robustness.mkv"};
     },
     {kMuxing, kStartFailed}},
    {"DemuxIntoMissingFolder",
     [](const ScratchDirectory& dir) {
       return Arguments{MakeValidSource(dir), dir / "missing/out.mkv", "-demux"};
     },
     {kDemuxing, kStartFailed}},
};

class FailingRunTest : public ::testing::TestWithParam<FailingRun> {};

TEST_P(FailingRunTest, SaysWhyAndLeavesNothingBehind) {
  const FailingRun& failing = GetParam();
  ScratchDirectory dir;
  Arguments arguments;
  ASSERT_NO_FATAL_FAILURE(arguments = failing.prepare(dir));
  const std::string& source = arguments[0];
  const bool sourceIsFile = fs::is_regular_file(source);
  if (sourceIsFile && !fs::path(source).filename().string().starts_with("movie")) {
    ASSERT_TRUE(ProbeStreams(source).empty()) << "ffprobe reads the bad source: the fixture is no bad source";
  }
  const FileState before = sourceIsFile ? StateOf(source) : FileState{};
  const std::vector<std::string> namesBefore = DirectoryNames(dir.path());

  const CommandResult run = RunQuorvex(arguments);

  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(OutputLines(run), failing.lines);
  EXPECT_EQ(DirectoryNames(dir.path()), namesBefore) << "a partial or stray file was left behind";
  if (sourceIsFile) {
    EXPECT_TRUE(StateOf(source) == before) << "the source was changed";
  }
  EXPECT_FALSE(fs::exists("/proc/quorvex-robustness.mkv"));
}

INSTANTIATE_TEST_SUITE_P(Robustness, FailingRunTest, ::testing::ValuesIn(kFailingRuns),
                         [](const ::testing::TestParamInfo<FailingRun>& param) { return param.param.name; });

// A small tmpfs mounted for one test; a full or read-only disk cannot be had
// otherwise. Mounting needs root with CAP_SYS_ADMIN, which a CI container may
// lack: `mounted()` tells.
class TinyMount {
 public:
  TinyMount(const fs::path& at, const std::string& options) : at_(at) {
    fs::create_directory(at_);
    mounted_ = RunCommand({"mount", "-t", "tmpfs", "-o", options, "tmpfs", at_.string()}).exitCode == 0;
  }
  ~TinyMount() {
    if (mounted_ && RunCommand({"umount", at_.string()}).exitCode != 0) RunCommand({"umount", "-l", at_.string()});
  }
  TinyMount(const TinyMount&) = delete;
  TinyMount& operator=(const TinyMount&) = delete;
  bool mounted() const { return mounted_; }

 private:
  fs::path at_;
  bool mounted_ = false;
};

constexpr char kNoMount[] =
    "cannot mount a tmpfs here (needs root with CAP_SYS_ADMIN); without one there is no full or read-only disk";

TEST(RobustnessDisk, ReadOnlyDestinationFolder) {
  ScratchDirectory dir;
  const std::string source = MakeValidSource(dir);
  TinyMount readOnly(dir.path() / "ro", "ro,size=64k");
  if (!readOnly.mounted()) GTEST_SKIP() << kNoMount;
  const FileState before = StateOf(source);

  const CommandResult run = RunQuorvex({source, dir / "ro/out.mkv"});

  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(OutputLines(run), (std::vector<std::string>{kMuxing, kStartFailed}));
  EXPECT_TRUE(DirectoryNames(dir.path() / "ro").empty());
  EXPECT_TRUE(StateOf(source) == before) << "the source was changed";
}

// A source of a few MB (noise does not compress) against 256 KiB of room.
std::string MakeLargeSource(const ScratchDirectory& dir) {
  const std::string source = dir / "movie.ts";
  RunFfmpeg(Arguments{"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25,noise=alls=30:allf=t"} + kTone +
            Arguments{"-t", "2", "-c:v", "libx264", "-preset", "superfast", "-qp", "10", "-c:a", "ac3", "-f", "mpegts",
                      source});
  return source;
}

TEST(RobustnessDisk, FullDiskDuringRemuxRemovesThePartialDestination) {
  ScratchDirectory dir;
  const std::string source = MakeLargeSource(dir);
  TinyMount tiny(dir.path() / "full", "size=256k");
  if (!tiny.mounted()) GTEST_SKIP() << kNoMount;
  ASSERT_GT(SizeOf(source), 1024u * 1024u);
  const FileState before = StateOf(source);

  const CommandResult run = RunQuorvex({source, dir / "full/out.mkv"});

  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(OutputLines(run), (std::vector<std::string>{kMuxing, kErrorAbort}));
  EXPECT_TRUE(DirectoryNames(dir.path() / "full").empty()) << "the partial destination was left behind";
  EXPECT_TRUE(StateOf(source) == before) << "the source was changed";
}

TEST(RobustnessDisk, FullDiskDuringDemuxRemovesThePartialStreamFiles) {
  ScratchDirectory dir;
  const std::string source = MakeLargeSource(dir);
  TinyMount tiny(dir.path() / "full", "size=256k");
  if (!tiny.mounted()) GTEST_SKIP() << kNoMount;
  ASSERT_GT(SizeOf(source), 1024u * 1024u);
  const FileState before = StateOf(source);

  const CommandResult run = RunQuorvex({source, dir / "full/out.mkv", "-demux"});

  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(OutputLines(run), (std::vector<std::string>{kDemuxing, kErrorAbort}));
  EXPECT_TRUE(DirectoryNames(dir.path() / "full").empty()) << "partial stream files were left behind";
  EXPECT_TRUE(StateOf(source) == before) << "the source was changed";
}

}  // namespace
}  // namespace quorvex::e2e
