#include "e2e_support.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

extern char** environ;

namespace quorvex::e2e {
namespace {

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra) {
  std::vector<std::string> result;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string item(*entry);
    std::string name = item.substr(0, item.find('='));
    bool replaced = false;
    for (const std::string& e : extra) replaced |= e.substr(0, e.find('=')) == name;
    if (!replaced) result.push_back(item);
  }
  result.insert(result.end(), extra.begin(), extra.end());
  return result;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> result;
  for (std::string& s : strings) result.push_back(s.data());
  result.push_back(nullptr);
  return result;
}

}  // namespace

CommandResult RunCommand(const std::vector<std::string>& arguments, const std::vector<std::string>& extraEnvironment,
                         const std::function<void(int processId)>& whileRunning) {
  CommandResult result;
  int out[2], err[2];
  if (pipe2(out, O_CLOEXEC) != 0) return result;
  if (pipe2(err, O_CLOEXEC) != 0) {
    close(out[0]), close(out[1]);
    return result;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  std::vector<std::string> argv = arguments;
  std::vector<std::string> envp = MergedEnvironment(extraEnvironment);
  std::vector<char*> argvPointers = Pointers(argv);
  std::vector<char*> envPointers = Pointers(envp);
  pid_t pid = 0;
  int spawned = posix_spawnp(&pid, argv[0].c_str(), &actions, nullptr, argvPointers.data(), envPointers.data());
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  close(err[1]);
  if (spawned == 0) {
    std::thread actor;
    if (whileRunning) actor = std::thread(whileRunning, static_cast<int>(pid));
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* targets[2] = {&result.output, &result.errorOutput};
    int open = 2;
    while (open > 0) {
      if (poll(fds, 2, -1) < 0) break;
      for (int i = 0; i < 2; ++i) {
        if (fds[i].fd < 0 || fds[i].revents == 0) continue;
        char buffer[65536];
        ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
        if (n > 0) {
          targets[i]->append(buffer, static_cast<size_t>(n));
        } else {
          fds[i].fd = -1;
          --open;
        }
      }
    }
    // Joined before the process is reaped, so the actor never signals a reused id.
    if (actor.joinable()) actor.join();
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  close(out[0]);
  close(err[0]);
  return result;
}

std::string QuorvexBinary() {
  const char* binary = std::getenv("QUORVEX_BINARY");
  return binary != nullptr ? binary : "quorvex";
}

CommandResult RunQuorvex(const std::vector<std::string>& arguments, const std::vector<std::string>& extraEnvironment,
                         const std::function<void(int processId)>& whileRunning) {
  std::vector<std::string> argv{QuorvexBinary()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return RunCommand(argv, extraEnvironment, whileRunning);
}

ScratchDirectory::ScratchDirectory() {
  std::random_device random;
  std::filesystem::path base = std::filesystem::temp_directory_path();
  for (;;) {
    path_ = base / ("quorvex-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(path_)) break;
  }
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

void RunFfmpeg(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv{"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  CommandResult result = RunCommand(argv);
  ASSERT_EQ(result.exitCode, 0) << "ffmpeg failed: " << result.errorOutput;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void MakeFifo(const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path; }

}  // namespace quorvex::e2e
