// The in-place re-time on the genuine Windows services: MoveFileA for the
// backup, the registry, CreateProcessA on mkvmerge's stand-in. quorvex.exe
// cannot reach this job here, since no remux succeeds without Haali.
#include <gtest/gtest.h>

#include <string>

#include "platform/console.h"
#include "platform/windows/file_system_windows.h"
#include "platform/windows/process_runner_windows.h"
#include "platform/windows/registry_reader_windows.h"
#include "timecodes/apply_timecodes.h"
#include "windows_test_support.h"

namespace quorvex::testing {
namespace {

const std::string kGuiKey = "HKCU\\Software\\mkvmergeGUI\\GUI";

class StringSink : public OutputSink {
 public:
  bool Write(const char* data, size_t size) override {
    text.append(data, size);
    return true;
  }
  bool IsTerminal() const override { return false; }
  std::string text;
};

class InPlaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteRegistryKey("HKCU\\Software\\mkvmergeGUI");
    MakeFolder(tools_);
    CopyFileTo(TestProgramFolder() + "fake_mkvmerge.exe", tools_ + "mkvmerge.exe");
    AddRegistryString(kGuiKey, "installation_path", tools_);
    WriteFileBytes(scratch_ / "movie.mkv", "remuxed");
  }
  void TearDown() override { DeleteRegistryKey("HKCU\\Software\\mkvmergeGUI"); }

  bool Run() {
    Console console(sink_, "\r\n");
    TimecodeServices services{console, files_, processes_, registry_};
    const bool result = ApplyTimecodesInPlace(services, scratch_ / "movie.mkv", "23.976");
    console.Flush();
    return result;
  }
  std::string Lines() const {
    std::string text = sink_.text;
    const std::string standIn = "mkvmerge stand-in: re-timing\r\n";
    for (size_t at; (at = text.find(standIn)) != std::string::npos;) text.erase(at, standIn.size());
    return text;
  }

  ScratchFolder scratch_;
  std::string tools_ = scratch_ / "tools\\";
  StringSink sink_;
  WindowsFileSystem files_;
  WindowsProcessRunner processes_;
  WindowsRegistryReader registry_;
};

TEST_F(InPlaceTest, SuccessLeavesTheRetimedFileAndNothingElse) {
  EXPECT_TRUE(Run());
  EXPECT_EQ(ReadFileBytes(scratch_ / "movie.mkv"), "retimed");
  EXPECT_FALSE(FileExists(scratch_ / "movie.old.mkv"));
  EXPECT_FALSE(FileExists(scratch_ / "movie.24p.txt"));
  // mkvmerge read the backup and wrote under the destination's name.
  const std::string calls = ReadFileBytes(tools_ + "calls.log");
  EXPECT_NE(calls.find("-o \"" + scratch_ / "movie.mkv\" --timecodes 1:\"" + scratch_ / "movie.24p.txt\" -d 1 \"" +
                       scratch_ / "movie.old.mkv\""),
            std::string::npos)
      << calls;
  EXPECT_EQ(ReadFileBytes(tools_ + "timecodes.received"), "# timecode format v1\r\nassume 23.976\r\n");
}

TEST_F(InPlaceTest, AnExistingBackupNameStopsTheRewriteUntouched) {
  WriteFileBytes(scratch_ / "movie.old.mkv", "the user's own file");
  EXPECT_FALSE(Run());
  EXPECT_EQ(Lines(),
            "Error renaming MKV file.\r\nMKV file was successfully created, but the timecodes are not set.\r\n");
  EXPECT_EQ(ReadFileBytes(scratch_ / "movie.mkv"), "remuxed");
  EXPECT_EQ(ReadFileBytes(scratch_ / "movie.old.mkv"), "the user's own file");
  EXPECT_FALSE(FileExists(tools_ + "calls.log"));
}

TEST_F(InPlaceTest, EveryFailureBringsTheRemuxedFileBack) {
  for (const char* settings : {"exit=2\noutput=1\n", "exit=1\noutput=1\n", "exit=0\noutput=0\n"}) {
    WriteFileBytes(tools_ + "fake_mkvmerge.ini", settings);
    EXPECT_FALSE(Run()) << settings;
    EXPECT_EQ(ReadFileBytes(scratch_ / "movie.mkv"), "remuxed") << settings;
    EXPECT_FALSE(FileExists(scratch_ / "movie.old.mkv")) << settings;
    EXPECT_FALSE(FileExists(scratch_ / "movie.24p.txt")) << settings;
  }
}

TEST_F(InPlaceTest, WithoutMkvmergeTheRemuxedFileIsMovedBack) {
  DeleteRegistryKey("HKCU\\Software\\mkvmergeGUI");
  EXPECT_FALSE(Run());
  EXPECT_EQ(Lines(),
            "Failed to locate \"mkvmerge.exe\". Is mkvtoolnix installed?\r\n"
            "MKV file was successfully created, but the timecodes are (probably) not set.\r\n");
  EXPECT_EQ(ReadFileBytes(scratch_ / "movie.mkv"), "remuxed");
  EXPECT_FALSE(FileExists(scratch_ / "movie.old.mkv"));
}

}  // namespace
}  // namespace quorvex::testing
