#include "timecodes/apply_timecodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/abnormal_termination.h"
#include "platform/diagnostics.h"
#include "platform/testing/recording_diagnostics.h"
#include "timecodes/mkvmerge_locator.h"
#include "timecodes/testing/job_fixture.h"

namespace quorvex {
namespace {

using testing::EventLog;

std::string Say(std::string_view line) { return "say: " + std::string(line); }

const std::string kTimecodes25 = "# timecode format v1\r\nassume 25.000\r\n";

class ApplyTimecodesTest : public testing::TimecodeJobTest {
 protected:
  ApplyTimecodesTest() { files_.Put("in.mkv", "<movie>"); }

  bool Run(const std::string& rate = "25.000") {
    events_.clear();
    return ApplyTimecodes(services_, "in.mkv", "out.mkv", rate);
  }
};

TEST_F(ApplyTimecodesTest, SuccessRunsMkvmergeOnTheVideoTrackWithTheTimecodeFile) {
  EXPECT_TRUE(Run());
  EXPECT_EQ(events_, (EventLog{"identify", "write: out.24p.txt", Say(kPleaseWaitLine), Say(""), "run",
                               "remove: out.24p.txt", Say("")}));
  EXPECT_EQ(files_.Contents("out.mkv"), kTimecodes25 + "<movie>");
  EXPECT_EQ(files_.Names(), (std::set<std::string>{kMkvmerge, "in.mkv", "out.mkv"}));

  ASSERT_EQ(processes_.identifyCommands.size(), 1u);
  EXPECT_EQ(processes_.identifyCommands[0].arguments, (std::vector<std::string>{kMkvmerge, "-J", "in.mkv"}));
  ASSERT_EQ(processes_.runCommands.size(), 1u);
  EXPECT_EQ(processes_.runCommands[0].arguments, (std::vector<std::string>{kMkvmerge, "-o", "out.mkv", "--timecodes",
                                                                           "0:out.24p.txt", "-d", "0", "in.mkv"}));
  EXPECT_EQ(processes_.runCommands[0].commandLine,
            "\"" + kMkvmerge + "\" -o \"out.mkv\" --timecodes 0:\"out.24p.txt\" -d 0 \"in.mkv\"");
}

TEST_F(ApplyTimecodesTest, MkvmergeReadsOneConstantRateBesideTheOutput) {
  struct Case {
    const char* rate;
    const char* output;
    const char* timecodeFile;
  };
  const Case cases[] = {{"23.976", "movie.mkv", "movie.24p.txt"},
                        {"29.970", "movie.new.mkv", "movie.new.24p.txt"},
                        {"25.000", "movie", "movie.24p.txt"}};
  for (const Case& c : cases) {
    processes_.runCommands.clear();
    EXPECT_TRUE(ApplyTimecodes(services_, "in.mkv", c.output, c.rate)) << c.rate;
    ASSERT_EQ(processes_.runCommands.size(), 1u);
    EXPECT_EQ(processes_.runCommands[0].arguments[4], std::string("0:") + c.timecodeFile);
    const std::string expected = std::string("# timecode format v1\r\nassume ") + c.rate + "\r\n";
    EXPECT_EQ(expected.size(), 37u);
    EXPECT_EQ(files_.Contents(c.output), expected + "<movie>") << "the file as mkvmerge read it";
    EXPECT_FALSE(files_.PathExists(c.timecodeFile));
  }
}

TEST_F(ApplyTimecodesTest, UsesTheIdOfTheFirstVideoTrack) {
  processes_.listing = CapturedRun{0, R"({"tracks":[{"id":0,"type":"audio"},{"id":1,"type":"video"},)"
                                      R"({"id":2,"type":"video"}]})"};
  EXPECT_TRUE(Run());
  ASSERT_EQ(processes_.runCommands.size(), 1u);
  EXPECT_EQ(processes_.runCommands[0].arguments[4], "1:out.24p.txt");
  EXPECT_EQ(processes_.runCommands[0].arguments[6], "1");
}

TEST_F(ApplyTimecodesTest, VerdictsFollowTheExitCodeAndTheOutput) {
  struct Case {
    uint32_t exitCode;
    bool writesOutput;
    bool result;
    EventLog tail;  // after the empty line that follows mkvmerge
    bool outputRemains;
  };
  const Case cases[] = {
      {0, true, true, {}, true},
      {0, false, false, {Say(kMissingOutputLine), Say(kTimecodesNotSetLine)}, false},
      {1, false, false, {Say(kMissingOutputLine), Say(kTimecodesNotSetLine)}, false},
      {1, true, false, {Say(kWarningsLine), Say(kWarningsBackupLine)}, true},
      {2, true, false, {"remove: out.mkv", Say(kErrorsLine), Say(kTimecodesNotSetLine)}, false},
      {2, false, false, {Say(kErrorsLine), Say(kTimecodesNotSetLine)}, false},
      // A crashed mkvmerge: the top bit makes it an error code.
      {SignalExitCode(11), true, false, {"remove: out.mkv", Say(kErrorsLine), Say(kTimecodesNotSetLine)}, false},
      {0xFFFFFFFFu, true, false, {"remove: out.mkv", Say(kErrorsLine), Say(kTimecodesNotSetLine)}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "exit code " << c.exitCode << ", output " << c.writesOutput);
    files_.RemoveFile("out.mkv");
    processes_.exitCode = c.exitCode;
    writesOutput_ = c.writesOutput;
    EXPECT_EQ(Run(), c.result);
    EventLog expected{"identify", "write: out.24p.txt", Say(kPleaseWaitLine), Say(""), "run", "remove: out.24p.txt",
                      Say("")};
    expected.insert(expected.end(), c.tail.begin(), c.tail.end());
    EXPECT_EQ(events_, expected);
    EXPECT_EQ(files_.PathExists("out.mkv"), c.outputRemains);
    EXPECT_FALSE(files_.PathExists("out.24p.txt"));
    EXPECT_EQ(files_.Contents("in.mkv"), "<movie>");
  }
}

TEST_F(ApplyTimecodesTest, FailuresBeforeMkvmergeRunsWriteNothing) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    EventLog events;
  };
  const std::string notFound = FailedToLocateLine(NativeMkvmergeFileName());
  const std::string notStarted = StartingFailedLine(NativeMkvmergeFileName());
  const Case cases[] = {
      {"mkvmerge not installed", [this] { Uninstall(); }, {Say(notFound), Say(kTimecodesNotSetLine)}},
      {"identification cannot start",
       [this] { processes_.listing = std::nullopt; },
       {"identify", Say(notStarted), Say(kTimecodesNotSetLine)}},
      {"no video track",
       [this] {
         processes_.listing = CapturedRun{0, R"({"tracks":[{"id":0,"type":"audio"}]})"};
       },
       {"identify", Say(kNoVideoTrackLine), Say(kTimecodesNotSetLine)}},
      {"identification fails",
       [this] {
         processes_.listing =
             CapturedRun{2, R"({"tracks":[{"id":0,"type":"video","properties":{"default_duration":41708333}}]})"};
       },
       {"identify", Say(kNoVideoTrackLine), Say(kTimecodesNotSetLine)}},
      {"timecode file cannot be created",
       [this] { files_.unwritableNames.insert("out.24p.txt"); },
       {"identify", Say(kTimecodeFileFailedLine), Say(kTimecodesNotSetLine)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.arrange();
    EXPECT_FALSE(Run());
    EXPECT_EQ(events_, c.events);
    EXPECT_TRUE(processes_.runCommands.empty());
    std::set<std::string> untouched{kMkvmerge, "in.mkv"};
    if (!files_.PathExists(kMkvmerge)) untouched.erase(kMkvmerge);
    EXPECT_EQ(files_.Names(), untouched);
    // Undo the arrangement for the next case.
    files_.Put(kMkvmerge, "program");
    files_.unwritableNames.clear();
    processes_.listing =
        CapturedRun{0, R"({"tracks":[{"id":0,"type":"video","properties":{"default_duration":41708333}}]})"};
  }
}

TEST_F(ApplyTimecodesTest, StartFailureRemovesTheTimecodeFileBeforeItsLines) {
  processes_.exitCode = std::nullopt;
  EXPECT_FALSE(Run());
  EXPECT_EQ(events_,
            (EventLog{"identify", "write: out.24p.txt", Say(kPleaseWaitLine), Say(""), "run", "remove: out.24p.txt",
                      Say(StartingFailedLine(NativeMkvmergeFileName())), Say(kTimecodesNotSetLine)}));
  EXPECT_EQ(files_.Names(), (std::set<std::string>{kMkvmerge, "in.mkv"}));
}

TEST_F(ApplyTimecodesTest, ExistingTimecodeFileIsReplacedAndGone) {
  files_.Put("out.24p.txt", "something of the user's");
  EXPECT_TRUE(Run("29.970"));
  EXPECT_EQ(files_.Contents("out.mkv"), "# timecode format v1\r\nassume 29.970\r\n<movie>");
  EXPECT_FALSE(files_.PathExists("out.24p.txt"));
}

TEST_F(ApplyTimecodesTest, OwnLinesAreWrittenOutBeforeMkvmergeStarts) {
  testing::RecordingSink pipe(events_, false);
  Console buffered(pipe, "\n");
  TimecodeServices services{buffered, files_, processes_, registry_};
  std::string seenByMkvmerge;
  processes_.onRun = [&, writeOutput = processes_.onRun](const ProcessCommand& command) {
    seenByMkvmerge = pipe.written();
    writeOutput(command);
  };
  buffered.WriteLine("earlier line");
  EXPECT_TRUE(ApplyTimecodes(services, "in.mkv", "out.mkv", "25.000"));
  EXPECT_EQ(seenByMkvmerge, "earlier line\n" + std::string(kPleaseWaitLine) + "\n\n");
}

TEST_F(ApplyTimecodesTest, ErrorsNeverDeleteTheInputUnderAnotherName) {
  // The output names the input's file (a hard link), and mkvmerge changed it.
  files_.Link("in.mkv", "out.mkv");
  processes_.exitCode = 2;
  processes_.onRun = [this](const ProcessCommand&) { files_.Put("in.mkv", "<touched>"); };
  EXPECT_FALSE(Run());
  EXPECT_TRUE(files_.PathExists("in.mkv"));
  EXPECT_TRUE(files_.PathExists("out.mkv"));
  EXPECT_EQ(events_.back(), Say(kTimecodesNotSetLine));
}

TEST_F(ApplyTimecodesTest, ErrorsDeleteOnlyAnOutputThatMkvmergeChanged) {
  files_.Put("out.mkv", "<older film>");
  processes_.exitCode = 2;
  writesOutput_ = false;  // stopped before opening its output
  EXPECT_FALSE(Run());
  EXPECT_EQ(files_.Contents("out.mkv"), "<older film>");

  writesOutput_ = true;  // replaced it, then failed
  EXPECT_FALSE(Run());
  EXPECT_FALSE(files_.PathExists("out.mkv"));
}

TEST_F(ApplyTimecodesTest, AbnormalEndStillRemovesTheTimecodeFile) {
  sink_.failWrites = true;
  EXPECT_THROW(Run(), AbnormalTermination);
  EXPECT_FALSE(files_.PathExists("out.24p.txt"));
  EXPECT_TRUE(processes_.runCommands.empty());
}

class ApplyTimecodesInPlaceTest : public testing::TimecodeJobTest {
 protected:
  ApplyTimecodesInPlaceTest() { files_.Put("movie.mkv", "<remuxed>"); }

  bool Run(const std::string& destination = "movie.mkv") {
    events_.clear();
    return ApplyTimecodesInPlace(services_, destination, "23.976");
  }
  // Where the user stands afterwards: the remuxed file under its own name,
  // nothing else beside it.
  void ExpectRemuxedFileRestored() {
    EXPECT_EQ(files_.Contents("movie.mkv"), "<remuxed>");
    std::set<std::string> names = files_.Names();
    names.erase(kMkvmerge);
    EXPECT_EQ(names, std::set<std::string>{"movie.mkv"});
  }
};

TEST_F(ApplyTimecodesInPlaceTest, SuccessKeepsTheRetimedFileAndDropsTheBackup) {
  EXPECT_TRUE(Run());
  EXPECT_EQ(events_,
            (EventLog{"move: movie.mkv -> movie.old.mkv", "identify", "write: movie.24p.txt", Say(kPleaseWaitLine),
                      Say(""), "run", "remove: movie.24p.txt", Say(""), "remove: movie.old.mkv"}));
  ASSERT_EQ(processes_.runCommands.size(), 1u);
  EXPECT_EQ(processes_.runCommands[0].arguments,
            (std::vector<std::string>{kMkvmerge, "-o", "movie.mkv", "--timecodes", "0:movie.24p.txt", "-d", "0",
                                      "movie.old.mkv"}));
  EXPECT_EQ(files_.Contents("movie.mkv"), "# timecode format v1\r\nassume 23.976\r\n<remuxed>");
  EXPECT_EQ(files_.Names(), (std::set<std::string>{kMkvmerge, "movie.mkv"}));
}

TEST_F(ApplyTimecodesInPlaceTest, NamesFollowTheDestination) {
  files_.Put("movie.new.mkv", "<remuxed>");
  files_.RemoveFile("movie.mkv");
  EXPECT_TRUE(Run("movie.new.mkv"));
  EXPECT_EQ(events_.front(), "move: movie.new.mkv -> movie.new.old.mkv");
  ASSERT_EQ(processes_.runCommands.size(), 1u);
  EXPECT_EQ(processes_.runCommands[0].arguments[4], "0:movie.new.24p.txt");
  EXPECT_EQ(processes_.runCommands[0].arguments[7], "movie.new.old.mkv");
}

TEST_F(ApplyTimecodesInPlaceTest, ExistingBackupNameStopsBeforeAnythingChanges) {
  files_.Put("movie.old.mkv", "<an older backup>");
  EXPECT_FALSE(Run());
  EXPECT_EQ(events_, (EventLog{Say(kRenameFailedLine), Say(kRenameFailedTrailerLine)}));
  EXPECT_EQ(files_.Contents("movie.mkv"), "<remuxed>");
  EXPECT_EQ(files_.Contents("movie.old.mkv"), "<an older backup>");
  EXPECT_TRUE(processes_.identifyCommands.empty());
}

TEST_F(ApplyTimecodesInPlaceTest, EveryFailureOfTheJobRestoresTheRemuxedFile) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    std::string lastLine;
  };
  const Case cases[] = {
      {"mkvmerge not installed", [this] { Uninstall(); }, std::string(kTimecodesNotSetLine)},
      {"identification cannot start", [this] { processes_.listing = std::nullopt; }, std::string(kTimecodesNotSetLine)},
      {"no video track",
       [this] {
         processes_.listing = CapturedRun{0, ""};
       },
       std::string(kTimecodesNotSetLine)},
      {"timecode file cannot be created", [this] { files_.unwritableNames.insert("movie.24p.txt"); },
       std::string(kTimecodesNotSetLine)},
      {"mkvmerge not started", [this] { processes_.exitCode = std::nullopt; }, std::string(kTimecodesNotSetLine)},
      {"errors", [this] { processes_.exitCode = 2; }, std::string(kTimecodesNotSetLine)},
      {"crash", [this] { processes_.exitCode = SignalExitCode(2); }, std::string(kTimecodesNotSetLine)},
      {"missing output", [this] { writesOutput_ = false; }, std::string(kTimecodesNotSetLine)},
      // The warnings verdict deletes the re-timed file as well.
      {"warnings", [this] { processes_.exitCode = 1; }, std::string(kWarningsBackupLine)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.arrange();
    EXPECT_FALSE(Run());
    ASSERT_FALSE(events_.empty());
    EXPECT_EQ(events_.front(), "move: movie.mkv -> movie.old.mkv");
    auto lastMove =
        std::find_if(events_.rbegin(), events_.rend(), [](const std::string& e) { return e.rfind("move: ", 0) == 0; });
    ASSERT_NE(lastMove, events_.rend());
    EXPECT_EQ(*lastMove, "move: movie.old.mkv -> movie.mkv");
    // The trailer follows the restore, which speaks for the remuxed file.
    if (c.lastLine == kTimecodesNotSetLine) {
      EXPECT_EQ(events_.back(), Say(kTimecodesNotSetLine));
    }
    // The lines come from the job alone; the wrapper restores silently.
    auto lastSay =
        std::find_if(events_.rbegin(), events_.rend(), [](const std::string& e) { return e.rfind("say: ", 0) == 0; });
    ASSERT_NE(lastSay, events_.rend());
    EXPECT_EQ(*lastSay, Say(c.lastLine));
    ExpectRemuxedFileRestored();

    files_.Put(kMkvmerge, "program");
    files_.unwritableNames.clear();
    processes_.listing =
        CapturedRun{0, R"({"tracks":[{"id":0,"type":"video","properties":{"default_duration":41708333}}]})"};
    processes_.exitCode = 0;
    writesOutput_ = true;
  }
}

TEST_F(ApplyTimecodesInPlaceTest, AbnormalEndStillRestoresTheRemuxedFile) {
  sink_.failWrites = true;
  EXPECT_THROW(Run(), AbnormalTermination);
  ExpectRemuxedFileRestored();
}

TEST_F(ApplyTimecodesInPlaceTest, DefaultRateOnlyWhereTheVideoRunsAtFilmRate) {
  struct Case {
    const char* what;
    std::string listing;
    bool retimed;
    std::vector<std::string> lines;  // for video that keeps its timing
  };
  auto video = [](const char* duration) {
    return std::string(
               R"({"tracks":[{"id":0,"type":"audio"},{"id":1,"type":"video","properties":{"default_duration":)") +
           duration + "}}]}";
  };
  const Case cases[] = {
      {"23.976", video("41708333"), true, {}},
      {"23.976 as stored in whole microseconds", video("41708000"), true, {}},
      {"24.000", video("41666667"), false, {"The video runs at 24.000 fps: its own timing is kept."}},
      {"25", video("40000000"), false, {"The video runs at 25.000 fps: its own timing is kept."}},
      {"29.97", video("33366667"), false, {"The video runs at 29.970 fps: its own timing is kept."}},
      {"50", video("20000000"), false, {"The video runs at 50.000 fps: its own timing is kept."}},
      {"no constant rate",
       R"({"tracks":[{"id":0,"type":"video"}]})",
       false,
       {"The video has no constant frame rate: its own timing is kept."}},
      {"no video", R"({"tracks":[{"id":0,"type":"audio"}]})", false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    files_.RemoveFile("movie.mkv");
    files_.Put("movie.mkv", "<remuxed>");
    processes_.listing = CapturedRun{0, c.listing};
    processes_.runCommands.clear();
    events_.clear();
    EXPECT_TRUE(ApplyTimecodesInPlace(services_, "movie.mkv", "23.976", RateChoice::kSourceDefault));
    if (c.retimed) {
      ASSERT_EQ(processes_.runCommands.size(), 1u);
      EXPECT_EQ(processes_.runCommands[0].arguments[4], "1:movie.24p.txt");
      EXPECT_EQ(files_.Contents("movie.mkv"), "# timecode format v1\r\nassume 23.976\r\n<remuxed>");
    } else {
      EXPECT_TRUE(processes_.runCommands.empty());
      std::vector<std::string> expected{"identify"};
      for (const std::string& line : c.lines) expected.push_back(Say(line));
      EXPECT_EQ(events_, expected) << "nothing moved, nothing written";
      ExpectRemuxedFileRestored();
    }
  }
}

TEST_F(ApplyTimecodesInPlaceTest, DefaultRateOnAListingThatCannotBeReadFailsAsAnOptionWould) {
  processes_.listing = CapturedRun{2, "{}"};
  EXPECT_FALSE(ApplyTimecodesInPlace(services_, "movie.mkv", "23.976", RateChoice::kSourceDefault));
  EXPECT_NE(std::find(events_.begin(), events_.end(), Say(kNoVideoTrackLine)), events_.end());
  EXPECT_TRUE(processes_.runCommands.empty());
  ExpectRemuxedFileRestored();
}

TEST_F(ApplyTimecodesInPlaceTest, RateFromAnOptionIsAppliedWhateverTheVideoRuns) {
  processes_.listing =
      CapturedRun{0, R"({"tracks":[{"id":0,"type":"video","properties":{"default_duration":40000000}}]})"};
  EXPECT_TRUE(Run());
  EXPECT_EQ(processes_.runCommands.size(), 1u);
  EXPECT_EQ(files_.Contents("movie.mkv"), "# timecode format v1\r\nassume 23.976\r\n<remuxed>");
}

TEST_F(ApplyTimecodesInPlaceTest, NoTrailerWhenNoMkvFileIsLeft) {
  // The remuxed file vanishes while mkvmerge runs (a removed disk, another
  // program), and mkvmerge fails: nothing is left to speak of.
  const auto write = processes_.onRun;
  processes_.onRun = [this, write](const ProcessCommand& command) {
    write(command);
    files_.RemoveFile("movie.old.mkv");
  };
  processes_.exitCode = 2;
  EXPECT_FALSE(Run());
  EXPECT_FALSE(files_.PathExists("movie.mkv"));
  EXPECT_FALSE(files_.PathExists("movie.old.mkv"));
  EXPECT_EQ(events_.back(), Say(kErrorsLine)) << "and no trailer after it";
}

TEST_F(ApplyTimecodesTest, EachFailureGivesOneReasonOnStandardErrorNamingWhatFailed) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    std::string reason;
  };
  const std::string program(NativeMkvmergeFileName());
  const Case cases[] = {
      {"not installed", [this] { Uninstall(); }, program + ": no MKVToolNix installation found"},
      {"listing cannot start", [this] { processes_.listing = std::nullopt; }, kMkvmerge + ": cannot be started"},
      {"no video",
       [this] {
         processes_.listing = CapturedRun{0, R"({"tracks":[]})"};
       },
       "in.mkv: no video track"},
      {"listing failed",
       [this] {
         processes_.listing = CapturedRun{2, ""};
       },
       "in.mkv: mkvmerge cannot list its tracks"},
      {"timecode file", [this] { files_.unwritableNames.insert("out.24p.txt"); }, "out.24p.txt: cannot be written"},
      {"not started", [this] { processes_.exitCode = std::nullopt; }, kMkvmerge + ": cannot be started"},
      {"errors", [this] { processes_.exitCode = 2; }, "out.mkv: mkvmerge ended with exit code 2"},
      {"crash", [this] { processes_.exitCode = SignalExitCode(11); }, "out.mkv: mkvmerge ended abnormally (code 11)"},
      {"missing output", [this] { writesOutput_ = false; }, "out.mkv: mkvmerge ended without writing it"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // A fresh job each time: mkvmerge installed, a listing with video, exit 0.
    files_.Put(kMkvmerge, "program");
    files_.unwritableNames.clear();
    processes_.listing = CapturedRun{0, R"({"tracks":[{"id":0,"type":"video"}]})"};
    processes_.exitCode = 0;
    writesOutput_ = true;
    c.arrange();
    RecordingDiagnostics diagnostics;
    EXPECT_FALSE(Run());
    EXPECT_EQ(diagnostics.lines(), std::vector<std::string>{"quorvex: " + c.reason});
    EXPECT_EQ(sink_.written().find("cannot"), std::string::npos) << "reasons never reach standard output";
  }
}

}  // namespace
}  // namespace quorvex
