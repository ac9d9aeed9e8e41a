// The engine's file and interrupt services on the real POSIX calls.
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/interrupts.h"
#include "platform/media_file.h"

namespace quorvex {
namespace {

namespace fs = std::filesystem;

class PosixMediaFilesTest : public ::testing::Test {
 protected:
  PosixMediaFilesTest() {
    char pattern[] = "/tmp/quorvex-media-XXXXXX";
    folder_ = ::mkdtemp(pattern);
  }
  ~PosixMediaFilesTest() override { fs::remove_all(folder_); }

  std::string Path(const std::string& name) const { return folder_ + "/" + name; }
  std::string Contents(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  MediaFileSystem& files_ = SystemMediaFiles();
  std::string folder_;
  FileError error_;
};

TEST_F(PosixMediaFilesTest, WrittenBytesReadBackAndReplaceTakesTheOldNameInOneStep) {
  auto file = files_.OpenForWriting(Path("part"), error_);
  ASSERT_NE(file, nullptr) << error_.message;
  const std::string text = "0123456789";
  ASSERT_TRUE(file->Write(reinterpret_cast<const uint8_t*>(text.data()), text.size(), error_));
  ASSERT_EQ(file->Seek(2, error_), 2);
  ASSERT_TRUE(file->Write(reinterpret_cast<const uint8_t*>("ab"), 2, error_));
  ASSERT_TRUE(file->Close(error_));
  std::ofstream(Path("movie.mkv")) << "old";
  ASSERT_TRUE(files_.Replace(Path("part"), Path("movie.mkv"), error_));
  EXPECT_EQ(Contents("movie.mkv"), "01ab456789");
  EXPECT_FALSE(fs::exists(Path("part")));

  auto reader = files_.OpenForReading(Path("movie.mkv"), error_);
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(reader->Size(), 10);
  uint8_t buffer[16];
  EXPECT_EQ(reader->Read(buffer, sizeof buffer, error_), 10);
  EXPECT_EQ(reader->Read(buffer, sizeof buffer, error_), 0);  // the end, no error
  EXPECT_FALSE(error_.failed());
}

TEST_F(PosixMediaFilesTest, FailuresComeBackWithTheSystemsReason) {
  EXPECT_EQ(files_.OpenForReading(Path("missing.ts"), error_), nullptr);
  EXPECT_EQ(error_.code, kFileErrorNoEntry);
  EXPECT_EQ(error_.message, "No such file or directory");
  EXPECT_EQ(files_.OpenForReading(folder_, error_), nullptr);  // a folder is never media
  EXPECT_EQ(error_.message, "Is a directory");
  EXPECT_EQ(files_.OpenForWriting(Path("missing/film.mkv"), error_), nullptr);
  EXPECT_EQ(error_.message, "No such file or directory");
  EXPECT_FALSE(files_.Replace(Path("missing"), Path("film.mkv"), error_));
}

TEST_F(PosixMediaFilesTest, KindsAndLinks) {
  std::ofstream(Path("film.mkv")) << "x";
  fs::create_directory(Path("store"));
  fs::create_symlink("../film.mkv", Path("store/one"));
  fs::create_symlink("store/one", Path("two"));
  EXPECT_EQ(files_.KindOf(Path("film.mkv")), PathKind::kRegularFile);
  EXPECT_EQ(files_.KindOf(Path("store")), PathKind::kDirectory);
  EXPECT_EQ(files_.KindOf("/dev/null"), PathKind::kOther);
  EXPECT_EQ(files_.KindOf(Path("missing")), PathKind::kMissing);
  EXPECT_EQ(fs::weakly_canonical(files_.FollowLinks(Path("two"))), fs::weakly_canonical(Path("film.mkv")));
  EXPECT_EQ(files_.FollowLinks(Path("film.mkv")), Path("film.mkv"));
  auto device = files_.OpenForWriting("/dev/null", error_);
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(device->Size(), -1);  // nothing to seek back into
}

TEST(PosixInterruptsTest, StopSignalsAreRecordedWhileWatchedAndIgnoredOnesStayIgnored) {
  Interrupts& interrupts = SystemInterrupts();
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    InterruptWatch watch(interrupts);
    EXPECT_FALSE(interrupts.Requested());
    ::raise(signal);
    EXPECT_TRUE(interrupts.Requested()) << signal;
  }
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction saved {};
  ::sigaction(SIGHUP, &ignore, &saved);
  {
    InterruptWatch watch(interrupts);
    struct sigaction now {};
    ::sigaction(SIGHUP, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_IGN);
    ::raise(SIGHUP);
    EXPECT_FALSE(interrupts.Requested());
  }
  ::sigaction(SIGHUP, &saved, nullptr);
}

TEST(PosixInterruptsTest, ARequestCountsForEveryThreadFromTheMomentItIsSent) {
  Interrupts& interrupts = SystemInterrupts();
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    bool seenBySender = false;
    {
      InterruptWatch watch(interrupts);
      // As during a run: a streaming thread gives the verdict while the
      // main thread sleeps until it is given. The request is sent to the
      // process, not to a thread, and must count as soon as it is sent,
      // whichever thread's handler the system would run, and whenever.
      std::thread streaming([&] {
        ::kill(::getpid(), signal);
        seenBySender = interrupts.Requested();
      });
      streaming.join();
      EXPECT_TRUE(interrupts.Requested()) << signal;
    }
    EXPECT_TRUE(seenBySender) << signal;
    // The watch took the request with it: the process lives on, and the
    // next watch starts with no request.
    InterruptWatch next(interrupts);
    EXPECT_FALSE(interrupts.Requested()) << signal;
  }
}

}  // namespace
}  // namespace quorvex
