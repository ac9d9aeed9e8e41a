#include "platform/posix/process_runner_posix.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace quorvex {
namespace {

ProcessCommand Shell(const std::string& script, std::vector<std::string> extra = {}) {
  ProcessCommand command{{"/bin/sh", "-c", script, "sh"}, ""};
  command.arguments.insert(command.arguments.end(), extra.begin(), extra.end());
  return command;
}

// Sets a signal's disposition for one test and puts the old one back.
class ScopedDisposition {
 public:
  ScopedDisposition(int signal, void (*handler)(int)) : signal_(signal) {
    struct sigaction replacement {};
    replacement.sa_handler = handler;
    sigemptyset(&replacement.sa_mask);
    sigaction(signal, &replacement, &saved_);
  }
  ~ScopedDisposition() { sigaction(signal_, &saved_, nullptr); }
  ScopedDisposition(const ScopedDisposition&) = delete;
  ScopedDisposition& operator=(const ScopedDisposition&) = delete;

 private:
  int signal_;
  struct sigaction saved_ {};
};

void (*Disposition(int signal))(int) {
  struct sigaction current {};
  sigaction(signal, nullptr, &current);
  return current.sa_handler;
}

// The signals a process ignores, from its /proc status line "SigIgn:".
uint64_t IgnoredSignalsOfChild(PosixProcessRunner& runner) {
  const std::optional<CapturedRun> run = runner.RunCapturingOutput(Shell("exec grep SigIgn /proc/self/status"));
  if (!run) return ~uint64_t{0};
  return std::stoull(run->standardOutput.substr(run->standardOutput.find(':') + 1), nullptr, 16);
}

bool Ignores(uint64_t mask, int signal) { return (mask >> (signal - 1)) & 1; }

std::filesystem::path TemporaryName(const std::string& stem) {
  return std::filesystem::temp_directory_path() / (stem + std::to_string(std::random_device()()));
}

TEST(PosixProcessRunnerTest, ExitCodesAndSignalDeaths) {
  PosixProcessRunner runner;
  EXPECT_EQ(runner.RunInConsole(Shell("exit 0")), 0u);
  EXPECT_EQ(runner.RunInConsole(Shell("exit 3")), 3u);
  EXPECT_EQ(runner.RunInConsole(Shell("kill -TERM $$")), SignalExitCode(SIGTERM));
  EXPECT_EQ(runner.RunInConsole(Shell("kill -KILL $$")), SignalExitCode(SIGKILL));
  const std::optional<CapturedRun> captured = runner.RunCapturingOutput(Shell("echo partial; kill -SEGV $$"));
  ASSERT_TRUE(captured);
  EXPECT_EQ(captured->exitCode, SignalExitCode(SIGSEGV));
  EXPECT_EQ(captured->standardOutput, "partial\n");
}

TEST(PosixProcessRunnerTest, ArgumentsArriveIntactWithoutAShell) {
  PosixProcessRunner runner;
  const std::vector<std::string> names = {
      "a b.mkv", "\"quoted\" 'too'", "-leading.mkv", "caf\xc3\xa9", "l\xe9", "$HOME;`x`|*", ""};
  const std::optional<CapturedRun> run = runner.RunCapturingOutput(Shell("printf '%s|' \"$@\"", names));
  ASSERT_TRUE(run);
  EXPECT_EQ(run->exitCode, 0u);
  EXPECT_EQ(run->standardOutput, "a b.mkv|\"quoted\" 'too'|-leading.mkv|caf\xc3\xa9|l\xe9|$HOME;`x`|*||");
}

TEST(PosixProcessRunnerTest, CaptureTakesStandardOutputOnly) {
  PosixProcessRunner runner;
  const std::optional<CapturedRun> run =
      runner.RunCapturingOutput(Shell("echo out; echo err >&2; head -c 100000 /dev/zero; read x; exit 1"));
  ASSERT_TRUE(run);
  EXPECT_EQ(run->exitCode, 1u);
  EXPECT_EQ(run->standardOutput, "out\n" + std::string(100000, '\0'));
}

TEST(PosixProcessRunnerTest, ProgramsThatCannotStart) {
  PosixProcessRunner runner;
  EXPECT_EQ(runner.RunInConsole({{}, ""}), std::nullopt);
  EXPECT_EQ(runner.RunInConsole({{"/nonexistent/mkvmerge"}, ""}), std::nullopt);
  EXPECT_EQ(runner.RunCapturingOutput({{"/nonexistent/mkvmerge"}, ""}), std::nullopt);

  const std::filesystem::path notAProgram = TemporaryName("quorvex-not-a-program-");
  std::ofstream(notAProgram) << "\x01\x02 not a program\n";
  EXPECT_EQ(runner.RunInConsole({{notAProgram.string()}, ""}), std::nullopt) << "not executable";
  std::filesystem::permissions(notAProgram, std::filesystem::perms::owner_all);
  EXPECT_EQ(runner.RunInConsole({{notAProgram.string()}, ""}), std::nullopt) << "no known format";
  std::filesystem::remove(notAProgram);
}

TEST(PosixProcessRunnerTest, InterruptDuringTheWaitReachesTheChildAlone) {
  PosixProcessRunner runner;
  // The child interrupts its parent, the tool, which must live on and learn
  // the child's exit code; then it dies of the same signal itself.
  EXPECT_EQ(runner.RunInConsole(Shell("kill -INT $PPID; kill -TERM $PPID; kill -HUP $PPID; exit 4")), 4u);
  EXPECT_EQ(runner.RunInConsole(Shell("kill -INT $$")), SignalExitCode(SIGINT));
  const std::optional<CapturedRun> run = runner.RunCapturingOutput(Shell("kill -INT $PPID; exit 5"));
  ASSERT_TRUE(run);
  EXPECT_EQ(run->exitCode, 5u);
}

TEST(PosixProcessRunnerTest, DispositionsAreRestoredAfterTheWait) {
  PosixProcessRunner runner;
  ScopedDisposition handled(SIGTERM, [](int) {});
  void (*handler)(int) = Disposition(SIGTERM);
  ASSERT_EQ(runner.RunInConsole(Shell("exit 0")), 0u);
  ASSERT_TRUE(runner.RunCapturingOutput(Shell("exit 0")));
  EXPECT_EQ(Disposition(SIGINT), SIG_DFL);
  EXPECT_EQ(Disposition(SIGHUP), SIG_DFL);
  EXPECT_EQ(Disposition(SIGTERM), handler);
}

TEST(PosixProcessRunnerTest, ChildStartsWithDefaultDispositions) {
  PosixProcessRunner runner;
  ScopedDisposition brokenPipesIgnored(SIGPIPE, SIG_IGN);  // as the tool's main sets it
  const uint64_t ignored = IgnoredSignalsOfChild(runner);
  for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP}) EXPECT_FALSE(Ignores(ignored, signal)) << signal;
}

TEST(PosixProcessRunnerTest, ChildKeepsInterruptsTheToolInheritedAsIgnored) {
  PosixProcessRunner runner;
  ScopedDisposition likeNohup(SIGHUP, SIG_IGN);
  const uint64_t ignored = IgnoredSignalsOfChild(runner);
  EXPECT_TRUE(Ignores(ignored, SIGHUP));
  EXPECT_FALSE(Ignores(ignored, SIGINT));
  EXPECT_EQ(Disposition(SIGHUP), SIG_IGN);
}

TEST(PosixProcessRunnerTest, ExitCodeIsReadEvenWhenChildEndingsAreIgnored) {
  PosixProcessRunner runner;
  ScopedDisposition reaped(SIGCHLD, SIG_IGN);
  EXPECT_EQ(runner.RunInConsole(Shell("exit 6")), 6u);
  EXPECT_EQ(Disposition(SIGCHLD), SIG_IGN);
}

}  // namespace
}  // namespace quorvex
