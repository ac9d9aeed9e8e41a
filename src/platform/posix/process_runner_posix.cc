#include "platform/posix/process_runner_posix.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <string>
#include <vector>

extern char** environ;

namespace quorvex {
namespace {

// An exit code for a child whose end could not be learnt: any code above 1
// reads as an error, so nothing is taken for a success.
constexpr uint32_t kUnknownExitCode = 0xFFFFFFFFu;

// Signals that end the tool from the terminal or the system. While the tool
// waits for a child it ignores them, so that its clean-up after the child
// always runs; the child, in the same process group, still receives them.
// SIGCHLD is held at its default meanwhile: inherited as ignored, it would
// let the system reap the child before its exit code could be read.
class WaitingSignals {
 public:
  WaitingSignals() {
    for (size_t i = 0; i < kInterrupts.size(); ++i) interrupts_[i].Set(kInterrupts[i], SIG_IGN);
    childEnded_.Set(SIGCHLD, SIG_DFL);
  }
  ~WaitingSignals() {
    childEnded_.Restore(SIGCHLD);
    for (size_t i = 0; i < kInterrupts.size(); ++i) interrupts_[i].Restore(kInterrupts[i]);
  }
  WaitingSignals(const WaitingSignals&) = delete;
  WaitingSignals& operator=(const WaitingSignals&) = delete;

  // What the child starts with at the default disposition: each interrupt
  // that the tool did not itself inherit as ignored (a program started under
  // nohup passes that on), and SIGPIPE, which the tool ignores for its own
  // sake only.
  sigset_t ChildDefaults() const {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGPIPE);
    for (size_t i = 0; i < kInterrupts.size(); ++i) {
      if (!interrupts_[i].WasIgnored()) sigaddset(&set, kInterrupts[i]);
    }
    return set;
  }

 private:
  static constexpr std::array<int, 3> kInterrupts = {SIGINT, SIGTERM, SIGHUP};

  class Saved {
   public:
    void Set(int signal, void (*handler)(int)) {
      struct sigaction replacement {};
      replacement.sa_handler = handler;
      sigemptyset(&replacement.sa_mask);
      valid_ = ::sigaction(signal, &replacement, &action_) == 0;
    }
    void Restore(int signal) const {
      if (valid_) ::sigaction(signal, &action_, nullptr);
    }
    bool WasIgnored() const { return valid_ && action_.sa_handler == SIG_IGN; }

   private:
    struct sigaction action_ {};
    bool valid_ = false;
  };

  std::array<Saved, kInterrupts.size()> interrupts_{};
  Saved childEnded_;
};

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  ~FileDescriptor() { Close(); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

class SpawnFileActions {
 public:
  SpawnFileActions() { ::posix_spawn_file_actions_init(&actions_); }
  ~SpawnFileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
  SpawnFileActions(const SpawnFileActions&) = delete;
  SpawnFileActions& operator=(const SpawnFileActions&) = delete;
  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

class SpawnAttributes {
 public:
  explicit SpawnAttributes(const sigset_t& defaults) {
    ::posix_spawnattr_init(&attributes_);
    sigset_t unblocked;
    sigemptyset(&unblocked);
    ::posix_spawnattr_setsigdefault(&attributes_, &defaults);
    ::posix_spawnattr_setsigmask(&attributes_, &unblocked);
    ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  }
  ~SpawnAttributes() { ::posix_spawnattr_destroy(&attributes_); }
  SpawnAttributes(const SpawnAttributes&) = delete;
  SpawnAttributes& operator=(const SpawnAttributes&) = delete;
  const posix_spawnattr_t* get() const { return &attributes_; }

 private:
  posix_spawnattr_t attributes_;
};

// Starts the program named by the first argument (a path; no PATH search).
std::optional<pid_t> Spawn(const ProcessCommand& command, const WaitingSignals& signals,
                           const posix_spawn_file_actions_t* actions) {
  if (command.arguments.empty()) return std::nullopt;
  std::vector<std::string> arguments = command.arguments;
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const SpawnAttributes attributes(signals.ChildDefaults());
  pid_t pid = 0;
  if (::posix_spawn(&pid, argv[0], actions, attributes.get(), argv.data(), environ) != 0) return std::nullopt;
  return pid;
}

uint32_t WaitForExitCode(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return kUnknownExitCode;
  }
  if (WIFEXITED(status)) return static_cast<uint32_t>(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return SignalExitCode(WTERMSIG(status));
  return kUnknownExitCode;
}

}  // namespace

std::optional<uint32_t> PosixProcessRunner::RunInConsole(const ProcessCommand& command) {
  // Ignoring starts before the child does, so no interrupt can fall between.
  const WaitingSignals signals;
  const std::optional<pid_t> pid = Spawn(command, signals, nullptr);
  if (!pid) return std::nullopt;
  return WaitForExitCode(*pid);
}

std::optional<CapturedRun> PosixProcessRunner::RunCapturingOutput(const ProcessCommand& command) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return std::nullopt;
  FileDescriptor readEnd(ends[0]);
  FileDescriptor writeEnd(ends[1]);

  SpawnFileActions actions;
  ::posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_adddup2(actions.get(), writeEnd.get(), STDOUT_FILENO);
  ::posix_spawn_file_actions_addopen(actions.get(), STDERR_FILENO, "/dev/null", O_WRONLY, 0);

  const WaitingSignals signals;
  const std::optional<pid_t> pid = Spawn(command, signals, actions.get());
  writeEnd.Close();  // so that reading ends when the child's copy closes
  if (!pid) return std::nullopt;

  CapturedRun run;
  std::array<char, 4096> buffer;
  for (;;) {
    const ssize_t got = ::read(readEnd.get(), buffer.data(), buffer.size());
    if (got > 0) {
      run.standardOutput.append(buffer.data(), static_cast<size_t>(got));
    } else if (got == 0 || errno != EINTR) {
      break;
    }
  }
  readEnd.Close();  // a child still writing gets SIGPIPE instead of blocking the wait
  run.exitCode = WaitForExitCode(*pid);
  return run;
}

}  // namespace quorvex
