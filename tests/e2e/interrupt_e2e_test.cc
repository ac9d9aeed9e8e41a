// Ctrl+C during a remux, as a user presses it.
#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "e2e_support.h"

namespace quorvex::e2e {
namespace {

TEST(InterruptE2eTest, CtrlCDuringARemuxIsAUserAbort) {
  ScratchDirectory dir;
  RunFfmpeg({"-f", "lavfi", "-i", "testsrc2=duration=20:size=96x64:rate=25", "-c:v", "libx264", "-g", "25", "-f",
             "mpegts", dir / "film.ts"});
  const std::string source = ReadFile(dir / "film.ts");
  // The Matroska file goes into a pipe that is not drained until the
  // interrupt has come, so the run is surely still going when it comes.
  const std::string pipe = dir / "film.mkv";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const CommandResult run = RunQuorvex({dir / "film.ts", pipe}, {}, [&](int processId) {
    // Opened without waiting, so a run that never gets to write cannot hang the test.
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    // Once the pipe is about full the run is streaming (a Matroska header
    // alone is far smaller), and stuck until the pipe is drained.
    const int capacity = reader >= 0 ? ::fcntl(reader, F_GETPIPE_SZ) : 0;
    for (int waited = 0; waited < 6000; ++waited) {
      int queued = 0;
      if (reader < 0 || (::ioctl(reader, FIONREAD, &queued) == 0 && queued >= capacity / 2)) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(processId, SIGINT);
    if (reader < 0) return;
    ::fcntl(reader, F_SETFL, 0);
    char buffer[65536];
    while (::read(reader, buffer, sizeof buffer) > 0) {
    }
    ::close(reader);
  });
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(Lines(run.output), (std::vector<std::string>{"Muxing source file to Matroska container. Please wait...",
                                                         "User aborted muxing."}));
  EXPECT_EQ(ReadFile(dir / "film.ts"), source);
}

}  // namespace
}  // namespace quorvex::e2e
