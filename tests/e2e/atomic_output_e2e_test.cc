// Whatever ends a run early, an earlier file under the destination's name
// survives byte for byte, and nothing of the failed run stays behind.
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "e2e_support.h"

namespace quorvex::e2e {
namespace {

namespace fs = std::filesystem;

constexpr const char* kOldFilm = "last week's film, which must survive";

std::set<std::string> NamesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

void WriteText(const std::string& path, const std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << path;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

// Waits, within a generous bound, until `path` exists: the run is then
// surely under way.
void AwaitFile(const std::string& path) {
  for (int waited = 0; waited < 6000 && !fs::exists(path); ++waited) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

class AtomicOutputE2eTest : public ::testing::Test {
 protected:
  // A short recording followed by gigabytes without media, as a damaged or
  // sparse file has: the run spends its time scanning, so a signal always
  // finds it going. truncate makes the file sparse, so it costs no disk.
  void MakeLongScanSource(const std::string& path) {
    RunFfmpeg({"-f", "lavfi", "-i", "testsrc2=duration=2:size=96x64:rate=25", "-f", "lavfi", "-i", "sine=duration=2",
               "-c:v", "libx264", "-c:a", "ac3", "-f", "mpegts", path});
    fs::resize_file(path, 8ull << 30);
  }

  ScratchDirectory dir_;
};

TEST_F(AtomicOutputE2eTest, StopSignalsAbortTheRunAndKeepTheOldDestination) {
  struct Case {
    int signal;
    bool demux;
  };
  const Case cases[] = {{SIGINT, false}, {SIGTERM, false}, {SIGHUP, false}, {SIGQUIT, false}, {SIGHUP, true}};
  const std::string source = dir_ / "film.ts";
  MakeLongScanSource(source);
  for (const Case& c : cases) {
    const std::string destination = c.demux ? dir_ / "film.1.mpv" : dir_ / "film.mkv";
    const std::string partial = c.demux ? dir_ / ".film.1.mpv.quorvex-part" : dir_ / ".film.mkv.quorvex-part";
    WriteText(destination, kOldFilm);
    std::vector<std::string> arguments{source};
    if (c.demux) arguments.push_back("-demux");
    const CommandResult run = RunQuorvex(arguments, {}, [&](int processId) {
      AwaitFile(partial);
      ::kill(processId, c.signal);
    });
    SCOPED_TRACE("signal " + std::to_string(c.signal) + (c.demux ? " demux" : " remux"));
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_FALSE(Lines(run.output).empty());
    EXPECT_EQ(Lines(run.output).back(), "User aborted muxing.");
    EXPECT_EQ(ReadFile(destination), kOldFilm);
    EXPECT_EQ(NamesIn(dir_.path()), (std::set<std::string>{"film.ts", fs::path(destination).filename().string()}));
    fs::remove(destination);
  }
}

TEST_F(AtomicOutputE2eTest, KilledOutrightOnlyThePartialFileRemains) {
  const std::string source = dir_ / "film.ts";
  MakeLongScanSource(source);
  WriteText(dir_ / "film.mkv", kOldFilm);
  const CommandResult run = RunQuorvex({source}, {}, [&](int processId) {
    AwaitFile(dir_ / ".film.mkv.quorvex-part");
    ::kill(processId, SIGKILL);
  });
  EXPECT_EQ(run.exitCode, -1);  // died by the signal
  EXPECT_EQ(ReadFile(dir_ / "film.mkv"), kOldFilm);
  EXPECT_EQ(NamesIn(dir_.path()), (std::set<std::string>{"film.ts", "film.mkv", ".film.mkv.quorvex-part"}));
  // The next run writes over the leftover and puts a good file in place.
  RunFfmpeg({"-f", "lavfi", "-i", "testsrc2=duration=1:size=96x64:rate=25", "-c:v", "libx264", "-f", "mpegts",
             dir_ / "short.ts"});
  const CommandResult again = RunQuorvex({dir_ / "short.ts", dir_ / "film.mkv"});
  EXPECT_EQ(again.exitCode, 0) << again.output;
  EXPECT_NE(ReadFile(dir_ / "film.mkv"), kOldFilm);
  EXPECT_EQ(NamesIn(dir_.path()), (std::set<std::string>{"film.ts", "short.ts", "film.mkv"}));
}

TEST_F(AtomicOutputE2eTest, FullDiskFailsTheRunAndKeepsTheOldDestination) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs needs root";
  RunFfmpeg({"-f", "lavfi", "-i", "testsrc2=duration=4:size=1280x720:rate=25", "-c:v", "libx264", "-preset",
             "ultrafast", "-b:v", "8M", "-f", "mpegts", dir_ / "film.ts"});
  const std::string disk = dir_ / "disk";
  fs::create_directory(disk);
  if (RunCommand({"mount", "-t", "tmpfs", "-o", "size=1m", "tmpfs", disk}).exitCode != 0) {
    GTEST_SKIP() << "cannot mount a tmpfs here";
  }
  struct Unmount {
    std::string path;
    ~Unmount() { RunCommand({"umount", path}); }
  } unmount{disk};
  WriteText(disk + "/film.mkv", kOldFilm);
  const CommandResult run = RunQuorvex({dir_ / "film.ts", disk + "/film.mkv"});
  EXPECT_EQ(run.exitCode, 1);
  ASSERT_FALSE(Lines(run.output).empty());
  EXPECT_EQ(Lines(run.output).back(), "An error ocurred during muxing.");
  EXPECT_NE(run.errorOutput.find("film.mkv: No space left on device"), std::string::npos) << run.errorOutput;
  EXPECT_EQ(ReadFile(disk + "/film.mkv"), kOldFilm);
  EXPECT_EQ(NamesIn(disk), (std::set<std::string>{"film.mkv"}));
}

TEST_F(AtomicOutputE2eTest, SuccessReplacesTheTargetOfASymbolicLink) {
  RunFfmpeg({"-f", "lavfi", "-i", "testsrc2=duration=1:size=96x64:rate=25", "-c:v", "libx264", "-f", "mpegts",
             dir_ / "film.ts"});
  fs::create_directory(dir_ / "store");
  WriteText(dir_ / "store/film.mkv", kOldFilm);
  fs::create_symlink("store/film.mkv", dir_ / "link.mkv");
  const CommandResult run = RunQuorvex({dir_ / "film.ts", dir_ / "link.mkv"});
  EXPECT_EQ(Lines(run.output).back(), "Done.");
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.mkv"));
  const CommandResult probe = RunCommand({"mkvmerge", "-J", dir_ / "store/film.mkv"});
  EXPECT_NE(probe.output.find("\"codec\": \"AVC/H.264/MPEG-4p10\""), std::string::npos) << probe.output;
  EXPECT_EQ(NamesIn(dir_ / "store"), (std::set<std::string>{"film.mkv"}));
}

TEST_F(AtomicOutputE2eTest, UnwritableDestinationSaysWhyOnStandardError) {
  RunFfmpeg({"-f", "lavfi", "-i", "testsrc2=duration=1:size=96x64:rate=25", "-c:v", "libx264", "-f", "mpegts",
             dir_ / "film.ts"});
  fs::create_directory(dir_ / "folder.mkv");
  struct Case {
    std::string destination;
    std::string reason;
  };
  for (const Case& c : {Case{dir_ / "missing/film.mkv", "/missing/film.mkv: No such file or directory"},
                        Case{dir_ / "folder.mkv", "/folder.mkv: Is a directory"}}) {
    const CommandResult run = RunQuorvex({dir_ / "film.ts", c.destination});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Lines(run.output).back(), "Starting muxing failed.") << c.destination;
    EXPECT_NE(run.errorOutput.find(c.reason), std::string::npos) << run.errorOutput;
    EXPECT_EQ(run.errorOutput.rfind("quorvex: ", 0), 0u) << run.errorOutput;
  }
  EXPECT_EQ(NamesIn(dir_.path()), (std::set<std::string>{"film.ts", "folder.mkv"}));
}

}  // namespace
}  // namespace quorvex::e2e
