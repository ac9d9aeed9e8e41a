#include "platform/posix/mkvmerge_path_search.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/native.h"
#include "text/fold.h"

namespace quorvex {
namespace {

// Registry names are compared without regard to letter case, as Windows does.
constexpr const char* kInstallationKey = "Software\\mkvmergeGUI\\GUI";
constexpr const char* kInstallationValue = "installation_path";
constexpr RegistryReader::Key kInstallationKeyHandle = 1;

constexpr int32_t kFileNotFound = 2;  // the system's codes, for a familiar reading
constexpr int32_t kMoreData = 234;

// PATH as the shell and execvp use it, with the system's default when unset.
std::string SearchPath() {
  if (const char* path = std::getenv("PATH")) return path;
  const size_t size = ::confstr(_CS_PATH, nullptr, 0);
  if (size == 0) return {};
  std::string path(size, '\0');
  ::confstr(_CS_PATH, path.data(), size);
  path.resize(size - 1);
  return path;
}

bool IsExecutableFile(const std::string& name) {
  struct stat info;
  return ::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(name.c_str(), X_OK) == 0;
}

}  // namespace

std::string FindProgramFolder(const std::string& searchPath, const std::string& program) {
  size_t start = 0;
  for (;;) {
    const size_t end = searchPath.find(':', start);
    std::string folder = searchPath.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (folder.empty()) folder.push_back('.');  // an empty entry means the current folder
    const std::string candidate = folder.back() == '/' ? folder + program : folder + '/' + program;
    if (IsExecutableFile(candidate)) return folder;
    if (end == std::string::npos) return {};
    start = end + 1;
  }
}

std::optional<RegistryReader::Key> MkvmergePathSearch::OpenKey(RegistryRoot root, const std::string& path) {
  if (root != RegistryRoot::kCurrentUser || !SameTextFold(path, kInstallationKey)) return std::nullopt;
  installationFolder_ = FindProgramFolder(SearchPath(), std::string(NativeMkvmergeFileName()));
  return kInstallationKeyHandle;
}

std::string MkvmergePathSearch::ValueData(Key key, const std::string& valueName) const {
  if (key != kInstallationKeyHandle || !SameTextFold(valueName, kInstallationValue) || installationFolder_.empty()) {
    return {};
  }
  return installationFolder_ + '\0';
}

uint32_t MkvmergePathSearch::QueryValueSize(Key key, const std::string& valueName) {
  return static_cast<uint32_t>(ValueData(key, valueName).size());
}

RegistryQuery MkvmergePathSearch::QueryValue(Key key, const std::string& valueName, uint8_t* buffer,
                                             uint32_t capacity) {
  const std::string data = ValueData(key, valueName);
  if (data.empty()) return {kFileNotFound, 0, 0};
  const auto size = static_cast<uint32_t>(data.size());
  if (size > capacity) return {kMoreData, kRegSz, size};
  std::memcpy(buffer, data.data(), size);
  return {0, kRegSz, size};
}

void MkvmergePathSearch::CloseKey(Key) {}

}  // namespace quorvex
