// Re-timing through mkvmerge, run as a user would: the real binary, the real
// mkvmerge (or a scripted stand-in found through PATH), files made with
// ffmpeg and checked with ffprobe and mkvmerge --identify.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace quorvex::e2e {
namespace {

namespace fs = std::filesystem;

const std::string kPleaseWait = "Adding timecodes to MKV file by using \"mkvmerge\". Please wait...";
const std::string kTrailer = "MKV file was successfully created, but the timecodes are (probably) not set.";

std::set<std::string> NamesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

// Video as track 0 at 24 fps and audio as track 1, one second; with audio
// first when `audioFirst` is set.
void MakeMovie(const std::string& name, bool audioFirst = false) {
  std::vector<std::string> arguments{"-f", "lavfi", "-i", "testsrc=size=64x48:rate=24:duration=1",
                                     "-f", "lavfi", "-i", "sine=frequency=440:duration=1"};
  if (audioFirst) arguments.insert(arguments.end(), {"-map", "1:a", "-map", "0:v"});
  arguments.insert(arguments.end(), {"-c:v", "mpeg4", "-c:a", "mp2", "-shortest", name});
  RunFfmpeg(arguments);
}

// "codec_type,r_frame_rate" of every stream, one per line.
std::string StreamRates(const std::string& name) {
  return RunCommand(
             {"ffprobe", "-v", "error", "-show_entries", "stream=codec_type,r_frame_rate", "-of", "csv=p=0", name})
      .output;
}

// mkvmerge's own lines for the tracks of a file.
std::vector<std::string> TrackLines(const std::string& name) {
  std::vector<std::string> tracks;
  for (const std::string& line : Lines(RunCommand({"mkvmerge", "--identify", name}).output)) {
    if (line.rfind("Track ID ", 0) == 0) tracks.push_back(line.substr(0, line.find(" (")));
  }
  return tracks;
}

// The frame rate of the first video stream, as ffprobe reads it.
std::string VideoRate(const std::string& name) {
  const std::vector<std::string> lines =
      Lines(RunCommand({"ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries", "stream=r_frame_rate",
                        "-of", "default=nw=1:nk=1", name})
                .output);
  return lines.empty() ? std::string() : lines.front();
}

std::vector<std::string> FakeMkvmergeEnvironment(const ScratchDirectory& scratch, std::vector<std::string> script) {
  script.push_back("PATH=" + std::string(QUORVEX_FAKE_MKVMERGE_DIR) + ":/usr/bin:/bin");
  script.push_back("FAKE_MKVMERGE_LOG=" + (scratch / "mkvmerge.log"));
  return script;
}

TEST(RetimeE2eTest, RetimesAnExistingMkvAtEachRateKeepingEveryTrack) {
  ScratchDirectory scratch;
  const std::string movie = scratch / "in.mkv";
  ASSERT_NO_FATAL_FAILURE(MakeMovie(movie));
  const std::string original = ReadFile(movie);
  const struct {
    const char* option;
    const char* videoRate;
  } rates[] = {{"-24p", "2997/125"}, {"-25p", "25/1"}, {"-30p", "2997/100"}};
  for (const auto& rate : rates) {
    SCOPED_TRACE(rate.option);
    const CommandResult result = RunQuorvex({movie, rate.option});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    const std::vector<std::string> lines = Lines(result.output);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), kPleaseWait);
    EXPECT_EQ(lines.back(), "Done.");
    const std::string retimed = scratch / "in.new.mkv";
    EXPECT_EQ(StreamRates(retimed), std::string("video,") + rate.videoRate + "\naudio,0/0\n");
    EXPECT_EQ(TrackLines(retimed), (std::vector<std::string>{"Track ID 0: video", "Track ID 1: audio"}));
    EXPECT_EQ(NamesIn(scratch.path()), (std::set<std::string>{"in.mkv", "in.new.mkv"}));
    EXPECT_EQ(ReadFile(movie), original);
    fs::remove(retimed);
  }
}

TEST(RetimeE2eTest, VideoThatIsNotTheFirstTrackIsRetimedToo) {
  ScratchDirectory scratch;
  const std::string movie = scratch / "audio first.mkv";
  ASSERT_NO_FATAL_FAILURE(MakeMovie(movie, true));
  const CommandResult result = RunQuorvex({movie, scratch / "out.mkv", "-25p"});
  EXPECT_EQ(result.exitCode, 0) << result.output;
  EXPECT_EQ(StreamRates(scratch / "out.mkv"), "audio,0/0\nvideo,25/1\n");
  EXPECT_EQ(VideoRate(movie), "24/1") << "the source is never touched";
}

TEST(RetimeE2eTest, RemuxResultIsRetimedInPlace) {
  ScratchDirectory scratch;
  const std::string source = scratch / "in.ts";
  RunFfmpeg({"-f", "lavfi", "-i", "testsrc=size=64x48:rate=24:duration=1", "-f", "lavfi", "-i",
             "sine=frequency=440:duration=1", "-c:v", "mpeg2video", "-c:a", "mp2", "-shortest", source});
  const CommandResult result = RunQuorvex({source, "-25p"});
  EXPECT_EQ(result.exitCode, 0) << result.output;
  EXPECT_EQ(Lines(result.output).back(), "Done.");
  EXPECT_EQ(VideoRate(scratch / "in.mkv"), "25/1");
  EXPECT_EQ(TrackLines(scratch / "in.mkv"), (std::vector<std::string>{"Track ID 0: video", "Track ID 1: audio"}));
  EXPECT_EQ(NamesIn(scratch.path()), (std::set<std::string>{"in.ts", "in.mkv"}));
}

TEST(RetimeE2eTest, WithoutMkvmergeNothingIsWritten) {
  ScratchDirectory scratch;
  const std::string movie = scratch / "in.mkv";
  ASSERT_NO_FATAL_FAILURE(MakeMovie(movie));
  fs::create_directory(scratch.path() / "empty");
  const CommandResult result = RunQuorvex({movie, "-25p"}, {"PATH=" + (scratch / "empty")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(Lines(result.output),
            (std::vector<std::string>{"Failed to locate \"mkvmerge\". Is mkvtoolnix installed?", kTrailer}));
  EXPECT_EQ(NamesIn(scratch.path()), (std::set<std::string>{"in.mkv", "empty"}));
}

TEST(RetimeE2eTest, VerdictLinesFollowMkvmergesOwnOutputInOrder) {
  const struct {
    std::vector<std::string> script;
    int exitCode;
    std::vector<std::string> tail;
    bool outputRemains;
  } cases[] = {
      {{}, 0, {"Done."}, true},
      {{"FAKE_MKVMERGE_EXIT=2"}, 1, {"mkvmerge reported one or more errors.", kTrailer}, false},
      {{"FAKE_MKVMERGE_SIGNAL=6"}, 1, {"mkvmerge reported one or more errors.", kTrailer}, false},
      {{"FAKE_MKVMERGE_WRITE_OUTPUT=0"}, 1, {"mkvmerge unexpectedly didn't create a new MKV file.", kTrailer}, false},
      {{"FAKE_MKVMERGE_EXIT=1"},
       1,
       {"mkvmerge reported some warnings. Please check if the MKV file plays correctly.",
        "The file \"*.old.mkv\" should be alright, but (probably) has no timecodes."},
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script.empty() ? "success" : c.script.front());
    ScratchDirectory scratch;
    const std::string movie = scratch / "my film.mkv";
    std::ofstream(movie) << "<film>";
    const CommandResult result = RunQuorvex({movie, "-25p"}, FakeMkvmergeEnvironment(scratch, c.script));
    EXPECT_EQ(result.exitCode, c.exitCode);
    std::vector<std::string> expected{kPleaseWait, "", "fake mkvmerge: writing '" + (scratch / "my film.new.mkv") + "'",
                                      ""};
    expected.insert(expected.end(), c.tail.begin(), c.tail.end());
    EXPECT_EQ(Lines(result.output), expected);
    std::set<std::string> names{"my film.mkv", "mkvmerge.log"};
    if (c.outputRemains) names.insert("my film.new.mkv");
    EXPECT_EQ(NamesIn(scratch.path()), names);
  }
}

TEST(RetimeE2eTest, NoVideoTrackWritesNothing) {
  ScratchDirectory scratch;
  const std::string movie = scratch / "in.mkv";
  std::ofstream(movie) << "<sound only>";
  const CommandResult result =
      RunQuorvex({movie, "-25p"},
                 FakeMkvmergeEnvironment(scratch, {R"(FAKE_MKVMERGE_TRACKS={"tracks":[{"id":0,"type":"audio"}]})"}));
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(Lines(result.output), (std::vector<std::string>{"mkvmerge found no video track to re-time.", kTrailer}));
  EXPECT_EQ(NamesIn(scratch.path()), (std::set<std::string>{"in.mkv", "mkvmerge.log"}));
}

TEST(RetimeE2eTest, FailedInPlaceRetimingLeavesTheRemuxedFile) {
  ScratchDirectory scratch;
  const std::string source = scratch / "in.ts";
  RunFfmpeg({"-f", "lavfi", "-i", "testsrc=size=64x48:rate=24:duration=1", "-c:v", "mpeg2video", source});
  const CommandResult result = RunQuorvex({source, "-25p"}, FakeMkvmergeEnvironment(scratch, {"FAKE_MKVMERGE_EXIT=2"}));
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(Lines(result.output).back(), kTrailer);
  EXPECT_EQ(VideoRate(scratch / "in.mkv"), "24/1") << "the remuxed file, as it was";
  EXPECT_EQ(NamesIn(scratch.path()), (std::set<std::string>{"in.ts", "in.mkv", "mkvmerge.log"}));
}

// Where the last packet of the first stream of `type` ("v" or "a") ends, in
// seconds, as ffprobe reads the file.
double StreamEnd(const std::string& name, const std::string& type) {
  double end = 0;
  for (const std::string& line :
       Lines(RunCommand({"ffprobe", "-v", "error", "-select_streams", type + ":0", "-show_entries",
                         "packet=pts_time,duration_time", "-of", "csv=p=0", name})
                 .output)) {
    const size_t comma = line.find(',');
    if (comma == std::string::npos) continue;
    end = std::max(end, std::atof(line.substr(0, comma).c_str()) + std::atof(line.substr(comma + 1).c_str()));
  }
  return end;
}

TEST(RetimeE2eTest, DefaultRateOfABlurayStreamOnlyWhereTheVideoIsFilm) {
  struct Case {
    const char* rate;
    const char* probedRate;
    const char* keptLine;  // empty when the video is re-timed
  };
  const Case cases[] = {
      {"24000/1001", "2997/125", ""},  // re-timed to mkvmerge's 23.976
      {"24", "24/1", "The video runs at 24.000 fps: its own timing is kept."},
      {"25", "25/1", "The video runs at 25.000 fps: its own timing is kept."},
      {"30000/1001", "30000/1001", "The video runs at 29.970 fps: its own timing is kept."},
      {"50", "50/1", "The video runs at 50.000 fps: its own timing is kept."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rate);
    ScratchDirectory scratch;
    const std::string source = scratch / "movie.m2ts";
    RunFfmpeg({"-f", "lavfi", "-i", std::string("testsrc=size=64x48:duration=8:rate=") + c.rate, "-f", "lavfi", "-i",
               "sine=frequency=440:duration=8", "-c:v", "mpeg2video", "-c:a", "mp2", "-f", "mpegts", source});
    const CommandResult result = RunQuorvex({source});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    const std::vector<std::string> lines = Lines(result.output);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Done.");
    const std::string movie = scratch / "movie.mkv";
    EXPECT_EQ(VideoRate(movie), c.probedRate);
    if (*c.keptLine == '\0') {
      EXPECT_NE(std::find(lines.begin(), lines.end(), kPleaseWait), lines.end()) << result.output;
    } else {
      EXPECT_EQ(lines, (std::vector<std::string>{"Muxing source file to Matroska container. Please wait...", c.keptLine,
                                                 "Done."}));
      // Video and audio still end together: nothing was slowed down.
      EXPECT_NEAR(StreamEnd(movie, "v"), StreamEnd(movie, "a"), 0.1);
    }
    EXPECT_EQ(TrackLines(movie), (std::vector<std::string>{"Track ID 0: video", "Track ID 1: audio"}));
    EXPECT_EQ(NamesIn(scratch.path()), (std::set<std::string>{"movie.m2ts", "movie.mkv"}));
  }
}

TEST(RetimeE2eTest, AudioOnlyFromABlurayStreamHasNothingToRetime) {
  ScratchDirectory scratch;
  const std::string source = scratch / "movie.m2ts";
  RunFfmpeg({"-f", "lavfi", "-i", "testsrc=size=64x48:duration=2:rate=25", "-f", "lavfi", "-i",
             "sine=frequency=440:duration=2", "-c:v", "mpeg2video", "-c:a", "mp2", "-f", "mpegts", source});
  const CommandResult result = RunQuorvex({source, "-audioOnly"});
  EXPECT_EQ(result.exitCode, 0) << result.output;
  EXPECT_EQ(Lines(result.output),
            (std::vector<std::string>{"Muxing source file to Matroska container. Please wait...", "Done."}));
  EXPECT_EQ(TrackLines(scratch / "movie.mkv"), (std::vector<std::string>{"Track ID 0: audio"}));
}

}  // namespace
}  // namespace quorvex::e2e
