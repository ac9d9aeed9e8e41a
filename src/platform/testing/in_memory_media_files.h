#ifndef QUORVEX_PLATFORM_TESTING_IN_MEMORY_MEDIA_FILES_H_
#define QUORVEX_PLATFORM_TESTING_IN_MEMORY_MEDIA_FILES_H_

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/media_file.h"

namespace quorvex {

// Media files held in memory that fail on demand the ways real disks do: an
// unreadable file, a read error part-way, a short write, a full disk, a
// rename the system refuses. Safe to use from the engine's threads.
class InMemoryMediaFiles final : public MediaFileSystem {
 public:
  void AddFile(const std::string& name, std::string contents) {
    std::lock_guard lock(mutex_);
    auto node = std::make_shared<Node>();
    node->contents = std::move(contents);
    node->inode = nextInode_++;
    nodes_[name] = node;
  }
  // A device such as /dev/null: anything written there is swallowed.
  void AddDevice(const std::string& name) {
    AddFile(name, "");
    std::lock_guard lock(mutex_);
    nodes_[name]->kind = PathKind::kOther;
  }
  void AddDirectory(const std::string& name) {
    AddFile(name, "");
    std::lock_guard lock(mutex_);
    nodes_[name]->kind = PathKind::kDirectory;
  }
  void AddLink(const std::string& link, const std::string& target) {
    std::lock_guard lock(mutex_);
    links_[link] = target;
  }

  // Opening `name` for reading fails with an I/O error.
  void FailOpening(const std::string& name) { At(name).failOpen = true; }
  // The byte at `offset` of `name` cannot be read: an I/O error.
  void FailReadingAt(const std::string& name, int64_t offset) { At(name).readErrorAt = offset; }
  // After `bytes` more bytes written, anywhere, writes fail with `code`
  // (kFileErrorNoSpace for a full disk, kFileErrorIo for a device error); the
  // write that crosses the line stores what fits, as a short write does.
  void FailWritesAfter(int64_t bytes, int code) {
    std::lock_guard lock(mutex_);
    writeBudget_ = bytes;
    writeFailure_ = code;
  }
  void FailReplacing() { failReplace_ = true; }
  // Called whenever a file open for writing is sought: muxers go back to
  // fill in sizes while they write their trailer.
  void OnWriterSeek(std::function<void()> hook) { onWriterSeek_ = std::move(hook); }

  bool HasFile(const std::string& name) const {
    std::lock_guard lock(mutex_);
    return nodes_.count(name) != 0;
  }
  std::string ContentsOf(const std::string& name) const {
    std::lock_guard lock(mutex_);
    return nodes_.at(name)->contents;
  }
  // Every name a file has, in order.
  std::vector<std::string> Names() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> names;
    for (const auto& [name, node] : nodes_) names.push_back(name);
    return names;
  }

  std::unique_ptr<MediaFile> OpenForReading(const std::string& name, FileError& error) override {
    std::shared_ptr<Node> node = Find(name);
    if (node == nullptr) return Fail(error, kFileErrorNoEntry);
    if (node->kind == PathKind::kDirectory) return Fail(error, kFileErrorIsDirectory);
    if (node->failOpen) return Fail(error, kFileErrorIo);
    return std::make_unique<File>(*this, node, false);
  }

  std::unique_ptr<MediaFile> OpenForWriting(const std::string& name, FileError& error) override {
    const std::string target = FollowLinks(name);
    std::lock_guard lock(mutex_);
    auto it = nodes_.find(target);
    if (it != nodes_.end() && it->second->kind == PathKind::kDirectory) return Fail(error, kFileErrorIsDirectory);
    if (it == nodes_.end()) {
      const size_t slash = target.rfind('/');
      if (slash != std::string::npos && slash > 0) {
        auto folder = nodes_.find(target.substr(0, slash));
        if (folder == nodes_.end() || folder->second->kind != PathKind::kDirectory)
          return Fail(error, kFileErrorNoEntry);
      }
      auto node = std::make_shared<Node>();
      node->inode = nextInode_++;
      it = nodes_.emplace(target, node).first;
    }
    it->second->contents.clear();
    return std::make_unique<File>(*this, it->second, true);
  }

  PathKind KindOf(const std::string& name) override {
    std::shared_ptr<Node> node = Find(name);
    return node == nullptr ? PathKind::kMissing : node->kind;
  }

  std::string FollowLinks(const std::string& name) override {
    std::lock_guard lock(mutex_);
    std::string current = name;
    for (auto it = links_.find(current); it != links_.end(); it = links_.find(current)) current = it->second;
    return current;
  }

  bool Replace(const std::string& from, const std::string& to, FileError& error) override {
    std::lock_guard lock(mutex_);
    auto it = nodes_.find(from);
    if (failReplace_ || it == nodes_.end()) {
      error.code = failReplace_ ? kFileErrorIo : kFileErrorNoEntry;
      error.message = "rename refused";
      return false;
    }
    nodes_[to] = it->second;
    nodes_.erase(it);
    return true;
  }

  void Remove(const std::string& name) override {
    std::lock_guard lock(mutex_);
    nodes_.erase(name);
  }

  std::optional<FileIdentity> Identify(const std::string& name) override {
    std::shared_ptr<Node> node = Find(name);
    if (node == nullptr) return std::nullopt;
    FileIdentity identity;
    identity.inode = node->inode;
    identity.size = node->contents.size();
    return identity;
  }

 private:
  struct Node {
    std::string contents;
    PathKind kind = PathKind::kRegularFile;
    uint64_t inode = 0;
    bool failOpen = false;
    int64_t readErrorAt = -1;
  };

  class File final : public MediaFile {
   public:
    File(InMemoryMediaFiles& owner, std::shared_ptr<Node> node, bool writing)
        : owner_(owner), node_(std::move(node)), writing_(writing) {}

    int64_t Read(uint8_t* buffer, size_t size, FileError& error) override {
      std::lock_guard lock(owner_.mutex_);
      const auto length = static_cast<int64_t>(node_->contents.size());
      int64_t end = std::min(length, position_ + static_cast<int64_t>(size));
      // A bad sector: reads stop short of it, and the read that starts
      // there fails; what lies beyond reads again.
      const int64_t bad = node_->readErrorAt;
      if (bad >= 0 && position_ == bad) {
        Fail(error, kFileErrorIo);
        return -1;
      }
      if (bad >= 0 && position_ < bad && end > bad) end = bad;
      if (position_ >= length) return 0;
      std::memcpy(buffer, node_->contents.data() + position_, static_cast<size_t>(end - position_));
      const int64_t got = end - position_;
      position_ = end;
      return got;
    }

    bool Write(const uint8_t* data, size_t size, FileError& error) override {
      std::lock_guard lock(owner_.mutex_);
      size_t fits = size;
      if (owner_.writeBudget_ >= 0) {
        fits = static_cast<size_t>(std::min<int64_t>(owner_.writeBudget_, static_cast<int64_t>(size)));
        owner_.writeBudget_ -= static_cast<int64_t>(fits);
      }
      if (node_->kind == PathKind::kRegularFile) {
        std::string& contents = node_->contents;
        const auto at = static_cast<size_t>(position_);
        if (contents.size() < at + fits) contents.resize(at + fits);
        std::memcpy(contents.data() + at, data, fits);
      }
      position_ += static_cast<int64_t>(fits);
      if (fits < size) {
        Fail(error, owner_.writeFailure_);
        return false;
      }
      return true;
    }

    int64_t Seek(int64_t offset, FileError& error) override {
      if (writing_ && owner_.onWriterSeek_) owner_.onWriterSeek_();
      if (offset < 0 || node_->kind != PathKind::kRegularFile) {
        Fail(error, kFileErrorIo);
        return -1;
      }
      position_ = offset;
      return offset;
    }

    int64_t Size() override {
      std::lock_guard lock(owner_.mutex_);
      return node_->kind == PathKind::kRegularFile ? static_cast<int64_t>(node_->contents.size()) : -1;
    }

    bool Close(FileError&) override { return true; }

   private:
    InMemoryMediaFiles& owner_;
    std::shared_ptr<Node> node_;
    bool writing_;
    int64_t position_ = 0;
  };

  static std::nullptr_t Fail(FileError& error, int code) {
    error.code = code;
    error.message = code == kFileErrorNoEntry       ? "No such file or directory"
                    : code == kFileErrorIsDirectory ? "Is a directory"
                    : code == kFileErrorNoSpace     ? "No space left on device"
                                                    : "Input/output error";
    return nullptr;
  }

  Node& At(const std::string& name) {
    std::lock_guard lock(mutex_);
    return *nodes_.at(name);
  }
  std::shared_ptr<Node> Find(const std::string& name) {
    const std::string target = FollowLinks(name);
    std::lock_guard lock(mutex_);
    auto it = nodes_.find(target);
    return it == nodes_.end() ? nullptr : it->second;
  }

  mutable std::mutex mutex_;
  std::map<std::string, std::shared_ptr<Node>> nodes_;
  std::map<std::string, std::string> links_;
  uint64_t nextInode_ = 1;
  int64_t writeBudget_ = -1;
  int writeFailure_ = kFileErrorNoSpace;
  bool failReplace_ = false;
  std::function<void()> onWriterSeek_;
};

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_TESTING_IN_MEMORY_MEDIA_FILES_H_
