// The Windows platform layer on the genuine system calls (run under Wine).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/console.h"
#include "platform/media_file.h"
#include "platform/native.h"
#include "platform/windows/file_system_windows.h"
#include "platform/windows/native_windows.h"
#include "platform/windows/process_runner_windows.h"
#include "platform/windows/registry_reader_windows.h"
#include "text/conversions.h"
#include "text/file_names.h"
#include "windows_test_support.h"

namespace quorvex {
namespace {

using testing::CopyFileTo;
using testing::FileExists;
using testing::ReadFileBytes;
using testing::ScratchFolder;
using testing::WriteFileBytes;

TEST(WindowsNativeTest, PlatformFacts) {
  EXPECT_EQ(NativeLineEnd(), "\r\n");
  EXPECT_EQ(NativePathSeparator(), '\\');
  EXPECT_EQ(NativeMkvmergeFileName(), "mkvmerge.exe");
  EXPECT_EQ(NativeOptionPrefixes(), "-/");
  // '/' is no delimiter on Windows; '\' and ':' are.
  EXPECT_EQ(ExtensionOf("C:/films.hd/file"), ".hd/file");
  EXPECT_EQ(DirectoryOf("C:\\films.hd\\file"), "C:\\films.hd\\");
  EXPECT_EQ(ReplaceExtension("C:x", ".mkv"), "C:x.mkv");
}

TEST(WindowsNativeTest, ConversionsFollowTheAnsiCodePage) {
  if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page is " << GetACP();
  EXPECT_EQ(WidenText("a\xE4\x80"), u"a\u00E4\u20AC");
  EXPECT_EQ(NarrowText(u"a\u00E4\u20AC"), "a\xE4\x80");
  EXPECT_EQ(WidenText(""), u"");
  EXPECT_EQ(NarrowText(u""), "");
  // Zero units inside the text are converted like any other.
  EXPECT_EQ(WidenText(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
  // A character the code page lacks becomes the system's default character.
  EXPECT_EQ(NarrowText(u"\u4E00"), "?");
}

TEST(WindowsNativeTest, SingleByteCodePageHasNoLeadBytes) {
  const LeadByteTable table = ReadLeadByteTable(1252);
  for (unsigned byte = 0; byte < 256; ++byte) EXPECT_FALSE(table[byte]) << byte;
  if (GetACP() == 1252) {
    EXPECT_EQ(NativeFileNameRules().isLeadByte, nullptr);
  }
}

LeadByteTable shiftJis;
bool IsShiftJisLeadByte(unsigned char byte) { return shiftJis[byte]; }

TEST(WindowsNativeTest, ShiftJisLeadBytesAsTheSystemReportsThem) {
  shiftJis = ReadLeadByteTable(932);
  for (unsigned byte = 0; byte < 256; ++byte) {
    const bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    EXPECT_EQ(shiftJis[byte], lead) << byte;
  }
  // A double-byte character whose second byte is '\' does not end the folder.
  const FileNameRules rules = WindowsFileNameRules(&IsShiftJisLeadByte);
  EXPECT_EQ(DirectoryOf("C:\\dir\\\x95\x5C", rules), "C:\\dir\\");
  EXPECT_EQ(ExtensionOf("a.b\x95\x5C", rules), ".b\x95\x5C");
}

TEST(WindowsFileSystemTest, ExistenceRemovalAndWriting) {
  ScratchFolder scratch;
  WindowsFileSystem files;
  EXPECT_TRUE(files.PathExists(scratch.path()));  // a folder counts
  EXPECT_FALSE(files.PathExists(scratch / "absent"));

  ASSERT_TRUE(files.WriteWholeFile(scratch / "t.txt", "old contents, longer"));
  ASSERT_TRUE(files.WriteWholeFile(scratch / "t.txt", "a\r\nb\r\n"));  // replaced, not appended
  EXPECT_EQ(ReadFileBytes(scratch / "t.txt"), "a\r\nb\r\n");
  EXPECT_FALSE(files.WriteWholeFile(scratch / "no-such-folder\\t.txt", "x"));

  files.RemoveFile(scratch / "t.txt");
  EXPECT_FALSE(FileExists(scratch / "t.txt"));
  files.RemoveFile(scratch / "t.txt");  // a missing file passes quietly
}

TEST(WindowsMediaFilesTest, WritesReplaceInOneStepAndFailuresSayWhy) {
  ScratchFolder scratch;
  MediaFileSystem& files = SystemMediaFiles();
  FileError error;
  auto file = files.OpenForWriting(scratch / ".film.mkv.quorvex-part", error);
  ASSERT_NE(file, nullptr) << error.message;
  ASSERT_TRUE(file->Write(reinterpret_cast<const uint8_t*>("new film"), 8, error));
  ASSERT_TRUE(file->Close(error));
  WriteFileBytes(scratch / "film.mkv", "old film");
  ASSERT_TRUE(files.Replace(scratch / ".film.mkv.quorvex-part", scratch / "film.mkv", error)) << error.message;
  EXPECT_EQ(ReadFileBytes(scratch / "film.mkv"), "new film");
  EXPECT_FALSE(FileExists(scratch / ".film.mkv.quorvex-part"));

  auto reader = files.OpenForReading(scratch / "film.mkv", error);
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(reader->Size(), 8);
  uint8_t buffer[16];
  EXPECT_EQ(reader->Read(buffer, sizeof buffer, error), 8);
  EXPECT_EQ(reader->Read(buffer, sizeof buffer, error), 0);

  EXPECT_EQ(files.KindOf(scratch / "film.mkv"), PathKind::kRegularFile);
  EXPECT_EQ(files.KindOf(scratch.path()), PathKind::kDirectory);
  EXPECT_EQ(files.KindOf(scratch / "absent.mkv"), PathKind::kMissing);
  EXPECT_EQ(files.OpenForReading(scratch / "absent.ts", error), nullptr);
  EXPECT_EQ(error.code, kFileErrorNoEntry);
  EXPECT_FALSE(error.message.empty());
}

TEST(WindowsFileSystemTest, MoveNeverReplaces) {
  ScratchFolder scratch;
  WindowsFileSystem files;
  WriteFileBytes(scratch / "a.mkv", "remuxed");
  WriteFileBytes(scratch / "a.old.mkv", "user's file");
  EXPECT_FALSE(files.MoveFileNoReplace(scratch / "a.mkv", scratch / "a.old.mkv"));
  EXPECT_EQ(ReadFileBytes(scratch / "a.mkv"), "remuxed");
  EXPECT_EQ(ReadFileBytes(scratch / "a.old.mkv"), "user's file");

  EXPECT_TRUE(files.MoveFileNoReplace(scratch / "a.mkv", scratch / "b.mkv"));
  EXPECT_FALSE(FileExists(scratch / "a.mkv"));
  EXPECT_EQ(ReadFileBytes(scratch / "b.mkv"), "remuxed");
}

TEST(WindowsFileSystemTest, IdentityTellsFilesApartAndSeesChanges) {
  ScratchFolder scratch;
  WindowsFileSystem files;
  WriteFileBytes(scratch / "movie.mkv", "one");
  WriteFileBytes(scratch / "other.mkv", "one");
  const auto movie = files.Identify(scratch / "movie.mkv");
  ASSERT_TRUE(movie);
  EXPECT_EQ(movie->size, 3u);
  // Another spelling of the same name is the same file.
  const auto sameByOtherName = files.Identify(scratch.path() + ".\\MOVIE.MKV");
  ASSERT_TRUE(sameByOtherName);
  EXPECT_TRUE(movie->SameFileAs(*sameByOtherName));
  EXPECT_FALSE(movie->SameFileAs(*files.Identify(scratch / "other.mkv")));
  EXPECT_FALSE(files.Identify(scratch / "absent.mkv"));
  EXPECT_TRUE(files.Identify(scratch.path()));  // folders too

  WriteFileBytes(scratch / "movie.mkv", "changed");
  EXPECT_NE(*files.Identify(scratch / "movie.mkv"), *movie);
}

// A key of the test's own under HKEY_CURRENT_USER, removed afterwards.
class WindowsRegistryReaderTest : public ::testing::Test {
 protected:
  static constexpr const char* kKeyPath = "Software\\quorvex-tests\\reader";

  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, kKeyPath);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    RegCloseKey(key_);
    RegDeleteTreeA(HKEY_CURRENT_USER, kKeyPath);
  }
  void SetValue(const char* name, DWORD type, const std::string& bytes) {
    ASSERT_EQ(RegSetValueExA(key_, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
  }

  HKEY key_ = nullptr;
  WindowsRegistryReader reader_;
};

TEST_F(WindowsRegistryReaderTest, ReadsSizesTypesAndBytes) {
  SetValue("folder", REG_SZ, std::string("C:\\Tools\0", 9));
  SetValue("expand", REG_EXPAND_SZ, std::string("%ProgramFiles%\\x\0", 17));
  SetValue("empty", REG_SZ, "");

  const auto key = reader_.OpenKey(RegistryRoot::kCurrentUser, kKeyPath);
  ASSERT_TRUE(key);
  EXPECT_EQ(reader_.QueryValueSize(*key, "folder"), 9u);
  EXPECT_EQ(reader_.QueryValueSize(*key, "empty"), 0u);
  EXPECT_EQ(reader_.QueryValueSize(*key, "absent"), 0u);

  uint8_t buffer[64] = {};
  RegistryQuery query = reader_.QueryValue(*key, "folder", buffer, sizeof buffer);
  EXPECT_EQ(query.status, 0);
  EXPECT_EQ(query.type, kRegSz);
  EXPECT_EQ(query.bytesStored, 9u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 9), std::string("C:\\Tools\0", 9));

  query = reader_.QueryValue(*key, "expand", buffer, sizeof buffer);
  EXPECT_EQ(query.type, static_cast<uint32_t>(REG_EXPAND_SZ));
  EXPECT_EQ(query.bytesStored, 17u);

  // A buffer too small: a failure, and nothing counts as stored.
  query = reader_.QueryValue(*key, "folder", buffer, 4);
  EXPECT_NE(query.status, 0);
  EXPECT_EQ(query.bytesStored, 0u);
  reader_.CloseKey(*key);

  EXPECT_FALSE(reader_.OpenKey(RegistryRoot::kCurrentUser, "Software\\quorvex-tests\\absent"));
  EXPECT_FALSE(reader_.OpenKey(RegistryRoot::kLocalMachine, "Software\\quorvex-tests\\absent"));
}

// mkvmerge's stand-in, copied into a scratch folder whose name has blanks.
class WindowsProcessRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = scratch_ / "with blanks\\";
    testing::MakeFolder(folder_);
    program_ = folder_ + "mkvmerge.exe";
    CopyFileTo(testing::TestProgramFolder() + "fake_mkvmerge.exe", program_);
  }
  ProcessCommand Command(const std::string& tail) { return {{}, "\"" + program_ + "\"" + tail}; }

  ScratchFolder scratch_;
  std::string folder_;
  std::string program_;
  WindowsProcessRunner runner_;
};

TEST_F(WindowsProcessRunnerTest, RunsTheExactCommandLineAndReadsTheExitCode) {
  WriteFileBytes(folder_ + "fake_mkvmerge.ini", "exit=3\noutput=0\n");
  WriteFileBytes(folder_ + "tc.txt", "timecodes");
  const ProcessCommand command =
      Command(" -o \"" + folder_ + "out.mkv\" --timecodes 1:\"" + folder_ + "tc.txt\" -d 1 \"" + folder_ + "in.mkv\"");
  EXPECT_EQ(runner_.RunInConsole(command), 3u);
  EXPECT_EQ(ReadFileBytes(folder_ + "calls.log"), command.commandLine + "\n");
  EXPECT_EQ(ReadFileBytes(folder_ + "timecodes.received"), "timecodes");
}

TEST_F(WindowsProcessRunnerTest, ExitCodesWithTheTopBitSetArriveWhole) {
  WriteFileBytes(folder_ + "fake_mkvmerge.ini", "exit=0xC0000005\noutput=0\n");
  EXPECT_EQ(runner_.RunInConsole(Command(" -o \"" + folder_ + "o.mkv\" --timecodes 1:x -d 1 i")), 0xC0000005u);
}

TEST_F(WindowsProcessRunnerTest, CapturesStandardOutputThroughAPipe) {
  WriteFileBytes(folder_ + "fake_mkvmerge.ini", "track=0\n");
  const auto run = runner_.RunCapturingOutput(Command(" -J \"in.mkv\""));
  ASSERT_TRUE(run);
  EXPECT_EQ(run->exitCode, 0u);
  EXPECT_EQ(run->standardOutput,
            "{\"tracks\": [{\"id\": 0, \"type\": \"video\", \"properties\": {\"default_duration\": 41708333}},\r\n"
            "  {\"id\": 9, \"type\": \"audio\", \"properties\": {}}]}\r\n");
}

TEST_F(WindowsProcessRunnerTest, AProgramThatCannotStartIsNoExitCode) {
  const ProcessCommand missing{{}, "\"" + folder_ + "absent.exe\" -o x"};
  EXPECT_FALSE(runner_.RunInConsole(missing));
  EXPECT_FALSE(runner_.RunCapturingOutput(missing));
}

}  // namespace
}  // namespace quorvex
