#ifndef QUORVEX_PLATFORM_TESTING_IN_MEMORY_FILE_SYSTEM_H_
#define QUORVEX_PLATFORM_TESTING_IN_MEMORY_FILE_SYSTEM_H_

#include <map>
#include <set>
#include <string>

#include "platform/file_system.h"

namespace quorvex {

// Files as names with contents, for tests of code above the file services.
class InMemoryFileSystem : public FileSystem {
 public:
  void AddFile(const std::string& name, const std::string& contents = "") { files_[name] = {contents, nextInode_++}; }
  void AddDirectory(const std::string& name) { directories_.insert(name); }
  // Makes `alias` a second name of the file `name`, as a hard link does.
  void AddLink(const std::string& alias, const std::string& name) { files_[alias] = files_.at(name); }
  bool HasFile(const std::string& name) const { return files_.count(name) != 0; }
  const std::string& ContentsOf(const std::string& name) const { return files_.at(name).contents; }

  bool PathExists(const std::string& name) override { return HasFile(name) || directories_.count(name) != 0; }
  void RemoveFile(const std::string& name) override {
    files_.erase(name);
    removed.push_back(name);
  }
  bool MoveFileNoReplace(const std::string& from, const std::string& to) override {
    if (!HasFile(from) || PathExists(to)) return false;
    files_[to] = files_.at(from);
    files_.erase(from);
    return true;
  }
  std::optional<FileIdentity> Identify(const std::string& name) override {
    auto it = files_.find(name);
    if (it == files_.end()) return std::nullopt;
    FileIdentity identity;
    identity.inode = it->second.inode;
    identity.size = it->second.contents.size();
    return identity;
  }
  bool WriteWholeFile(const std::string& name, std::string_view contents) override {
    if (!writable) return false;
    AddFile(name, std::string(contents));
    return true;
  }

  bool writable = true;
  std::vector<std::string> removed;

 private:
  struct Entry {
    std::string contents;
    uint64_t inode = 0;
  };
  std::map<std::string, Entry> files_;
  std::set<std::string> directories_;
  uint64_t nextInode_ = 1;
};

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_TESTING_IN_MEMORY_FILE_SYSTEM_H_
