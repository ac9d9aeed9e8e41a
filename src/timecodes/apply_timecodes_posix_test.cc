// The re-timing jobs on the real POSIX services: files on disk, mkvmerge
// started as a process and found through PATH. Most cases run the stand-in
// from testing/fake_mkvmerge.cc; the last ones run the real mkvmerge on a
// small file made with ffmpeg.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/posix/file_system_posix.h"
#include "platform/posix/mkvmerge_path_search.h"
#include "platform/posix/process_runner_posix.h"
#include "posix_test_support.h"
#include "timecodes/apply_timecodes.h"
#include "timecodes/testing/fake_services.h"

namespace quorvex {
namespace {

namespace fs = std::filesystem;
using test_support::ReadFile;
using test_support::ScratchDirectory;
using testing::EventLog;

std::string Say(std::string_view line) { return "say: " + std::string(line); }

// Sets environment variables for one test and puts the old values back.
class ScopedEnvironment {
 public:
  ~ScopedEnvironment() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }
  void Set(const std::string& name, const std::string& value) {
    if (saved_.count(name) == 0) {
      const char* old = std::getenv(name.c_str());
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    setenv(name.c_str(), value.c_str(), 1);
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

// The arguments of each mkvmerge run, from the stand-in's log.
std::vector<std::vector<std::string>> LoggedRuns(const std::string& log) {
  std::vector<std::vector<std::string>> runs(1);
  const std::string text = ReadFile(log);
  std::string argument;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\0') {
      runs.back().push_back(argument);
      argument.clear();
    } else if (text[i] == '\n' && argument.empty()) {
      runs.emplace_back();
    } else {
      argument += text[i];
    }
  }
  runs.pop_back();
  return runs;
}

std::set<std::string> NamesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

class PosixTimecodeJobTest : public ::testing::Test {
 protected:
  PosixTimecodeJobTest()
      : sink_(events_, true), console_(sink_, "\n"), services_{console_, files_, processes_, registry_} {}

  void UseFakeMkvmerge() {
    environment_.Set("PATH", std::string(QUORVEX_FAKE_MKVMERGE_DIR) + ":/usr/bin:/bin");
    environment_.Set("FAKE_MKVMERGE_LOG", log_);
  }
  std::string Path(const std::string& name) const { return scratch_ / name; }
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    for (const std::string& event : events_) lines.push_back(event.substr(5));
    return lines;
  }

  ScratchDirectory scratch_;
  const std::string log_ = scratch_ / "mkvmerge.log";
  ScopedEnvironment environment_;
  EventLog events_;
  testing::RecordingSink sink_;
  Console console_;
  PosixFileSystem files_;
  PosixProcessRunner processes_;
  MkvmergePathSearch registry_;
  TimecodeServices services_;
};

TEST_F(PosixTimecodeJobTest, InPlaceSuccessReplacesTheFileAndLeavesNothingBeside) {
  UseFakeMkvmerge();
  const std::string movie = Path("movie.mkv");
  std::ofstream(movie) << "<remuxed>";
  EXPECT_TRUE(ApplyTimecodesInPlace(services_, movie, "25.000"));
  EXPECT_EQ(ReadFile(movie), "# timecode format v1\r\nassume 25.000\r\n<remuxed>");
  EXPECT_EQ(NamesIn(scratch_.path()), (std::set<std::string>{"movie.mkv", "mkvmerge.log"}));

  const std::string mkvmerge = std::string(QUORVEX_FAKE_MKVMERGE_DIR) + "/mkvmerge";
  const std::string backup = Path("movie.old.mkv");
  EXPECT_EQ(LoggedRuns(log_),
            (std::vector<std::vector<std::string>>{
                {"-J", backup}, {"-o", movie, "--timecodes", "0:" + Path("movie.24p.txt"), "-d", "0", backup}}));
  EXPECT_EQ(Lines(), (std::vector<std::string>{std::string(kPleaseWaitLine), "", ""}));
}

TEST_F(PosixTimecodeJobTest, InPlaceFailuresRestoreTheRemuxedFile) {
  struct Case {
    std::map<std::string, std::string> script;
    std::string_view verdictLine;
  };
  const Case cases[] = {
      {{{"FAKE_MKVMERGE_EXIT", "2"}}, kErrorsLine},
      {{{"FAKE_MKVMERGE_SIGNAL", "9"}}, kErrorsLine},
      {{{"FAKE_MKVMERGE_WRITE_OUTPUT", "0"}}, kMissingOutputLine},
      {{{"FAKE_MKVMERGE_EXIT", "1"}}, kWarningsLine},
      {{{"FAKE_MKVMERGE_TRACKS", R"({"tracks":[{"id":0,"type":"audio"}]})"}}, kNoVideoTrackLine},
      {{{"FAKE_MKVMERGE_IDENTIFY_EXIT", "2"}}, kNoVideoTrackLine},
      // Ctrl+C reaches the tool and mkvmerge alike; the tool lives on to clean up.
      {{{"FAKE_MKVMERGE_INTERRUPT", "1"}, {"FAKE_MKVMERGE_SIGNAL", "2"}}, kErrorsLine},
  };
  UseFakeMkvmerge();
  const std::string movie = Path("movie.mkv");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script.begin()->first + "=" + c.script.begin()->second);
    ScopedEnvironment script;
    for (const auto& [name, value] : c.script) script.Set(name, value);
    std::ofstream(movie) << "<remuxed>";
    events_.clear();
    EXPECT_FALSE(ApplyTimecodesInPlace(services_, movie, "23.976"));
    EXPECT_EQ(ReadFile(movie), "<remuxed>");
    EXPECT_EQ(NamesIn(scratch_.path()), (std::set<std::string>{"movie.mkv", "mkvmerge.log"}));
    EXPECT_NE(std::find(events_.begin(), events_.end(), Say(c.verdictLine)), events_.end());
  }
  EXPECT_EQ(signal(SIGINT, SIG_DFL), SIG_DFL) << "the tool's interrupt handling is back";
}

TEST_F(PosixTimecodeJobTest, MkvmergeMissingFromPathLeavesEverythingAsItWas) {
  environment_.Set("PATH", scratch_.path().string());
  const std::string movie = Path("movie.mkv");
  std::ofstream(movie) << "<remuxed>";
  EXPECT_FALSE(ApplyTimecodesInPlace(services_, movie, "25.000"));
  EXPECT_EQ(Lines(), (std::vector<std::string>{"Failed to locate \"mkvmerge\". Is mkvtoolnix installed?",
                                               std::string(kTimecodesNotSetLine)}));
  EXPECT_EQ(ReadFile(movie), "<remuxed>");
  EXPECT_EQ(NamesIn(scratch_.path()), std::set<std::string>{"movie.mkv"});
}

TEST_F(PosixTimecodeJobTest, UnstartableMkvmergeIsReportedAsSuch) {
  fs::create_directory(scratch_.path() / "bin");
  std::ofstream(scratch_.path() / "bin" / "mkvmerge") << "\x01\x02 no program\n";
  fs::permissions(scratch_.path() / "bin" / "mkvmerge", fs::perms::owner_all);
  environment_.Set("PATH", Path("bin"));
  std::ofstream(Path("in.mkv")) << "<film>";
  EXPECT_FALSE(ApplyTimecodes(services_, Path("in.mkv"), Path("out.mkv"), "25.000"));
  EXPECT_EQ(Lines(), (std::vector<std::string>{"Starting \"mkvmerge\" failed.", std::string(kTimecodesNotSetLine)}));
  EXPECT_EQ(NamesIn(scratch_.path()), (std::set<std::string>{"bin", "in.mkv"}));
}

TEST_F(PosixTimecodeJobTest, AwkwardNamesReachMkvmergeIntact) {
  UseFakeMkvmerge();
  // Relative names, so that a leading dash or at sign is the name's first byte.
  const fs::path previous = fs::current_path();
  fs::current_path(scratch_.path());
  const std::string input = "-in \"quoted\" caf\xc3\xa9 l\xe9.mkv";
  const std::string output = "@out $HOME `x`.mkv";
  std::ofstream(input) << "<film>";
  const bool result = ApplyTimecodes(services_, input, output, "29.970");
  const std::string written = ReadFile(output);
  fs::current_path(previous);

  EXPECT_TRUE(result);
  EXPECT_EQ(written, "# timecode format v1\r\nassume 29.970\r\n<film>");
  const std::vector<std::vector<std::string>> runs = LoggedRuns(log_);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].back(), "./" + input);
  EXPECT_EQ(runs[1], (std::vector<std::string>{"-o", "./" + output, "--timecodes", "0:@out $HOME `x`.24p.txt", "-d",
                                               "0", "./" + input}));
}

// A small Matroska file: video as track 0 at 24 fps, audio as track 1; or
// with audio first when `audioFirst` is set.
void MakeMovie(const std::string& name, bool audioFirst = false) {
  std::vector<std::string> arguments{"-f", "lavfi", "-i", "testsrc=size=64x48:rate=24:duration=1",
                                     "-f", "lavfi", "-i", "sine=frequency=440:duration=1"};
  if (audioFirst) arguments.insert(arguments.end(), {"-map", "1:a", "-map", "0:v"});
  arguments.insert(arguments.end(), {"-c:v", "mpeg4", "-c:a", "mp2", "-shortest", name});
  test_support::RunFfmpeg(arguments);
}

std::string Probe(const std::string& name, const std::string& entries) {
  return test_support::RunCommand({"ffprobe", "-v", "error", "-show_entries", entries, "-of", "csv=p=0", name}).output;
}

TEST_F(PosixTimecodeJobTest, RealMkvmergeRetimesInPlaceAndKeepsEveryTrack) {
  for (bool audioFirst : {false, true}) {
    SCOPED_TRACE(audioFirst ? "audio first" : "video first");
    const std::string movie = Path(audioFirst ? "audio first.mkv" : "movie.mkv");
    ASSERT_NO_FATAL_FAILURE(MakeMovie(movie, audioFirst));
    EXPECT_TRUE(ApplyTimecodesInPlace(services_, movie, "25.000"));
    EXPECT_EQ(Probe(movie, "stream=codec_type,r_frame_rate"),
              audioFirst ? "audio,0/0\nvideo,25/1\n" : "video,25/1\naudio,0/0\n");
    fs::remove(movie);
    EXPECT_EQ(NamesIn(scratch_.path()), std::set<std::string>{});
  }
}

TEST_F(PosixTimecodeJobTest, RealMkvmergeWithoutVideoRestoresTheFile) {
  const std::string sound = Path("sound.mkv");
  test_support::RunFfmpeg({"-f", "lavfi", "-i", "sine=frequency=440:duration=1", "-c:a", "mp2", sound});
  const std::string before = ReadFile(sound);
  EXPECT_FALSE(ApplyTimecodesInPlace(services_, sound, "25.000"));
  EXPECT_EQ(Lines(), (std::vector<std::string>{std::string(kNoVideoTrackLine), std::string(kTimecodesNotSetLine)}));
  EXPECT_EQ(ReadFile(sound), before);
  EXPECT_EQ(NamesIn(scratch_.path()), std::set<std::string>{"sound.mkv"});
}

}  // namespace
}  // namespace quorvex
