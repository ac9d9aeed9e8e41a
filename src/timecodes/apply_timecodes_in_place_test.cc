#include <gtest/gtest.h>

#include "platform/abnormal_termination.h"
#include "timecodes/testing/job_fixture.h"
#include "timecodes/timecode_lines.h"

namespace quorvex {
namespace {

using testing::EventLog;

std::string Say(std::string_view line) { return "say: " + std::string(line); }

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
  EXPECT_EQ(events_, (EventLog{"move: movie.mkv -> movie.old.mkv", "identify", "write: movie.24p.txt",
                               Say(kPleaseWaitLine), Say(""), "run", "remove: movie.24p.txt", Say(""),
                               "remove: movie.old.mkv"}));
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
      {"no video track", [this] { processes_.listing = CapturedRun{0, ""}; }, std::string(kTimecodesNotSetLine)},
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
    EXPECT_EQ(events_.back(), "move: movie.old.mkv -> movie.mkv");
    // The lines come from the job alone; the wrapper restores silently.
    auto lastSay = std::find_if(events_.rbegin(), events_.rend(),
                                [](const std::string& e) { return e.rfind("say: ", 0) == 0; });
    ASSERT_NE(lastSay, events_.rend());
    EXPECT_EQ(*lastSay, Say(c.lastLine));
    ExpectRemuxedFileRestored();

    files_.Put(kMkvmerge, "program");
    files_.unwritableNames.clear();
    processes_.listing = CapturedRun{0, "Track ID 0: video (AVC)\n"};
    processes_.exitCode = 0;
    writesOutput_ = true;
  }
}

TEST_F(ApplyTimecodesInPlaceTest, AbnormalEndStillRestoresTheRemuxedFile) {
  sink_.failWrites = true;
  EXPECT_THROW(Run(), AbnormalTermination);
  ExpectRemuxedFileRestored();
}

}  // namespace
}  // namespace quorvex
