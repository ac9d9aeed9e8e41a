#include "timecodes/testing/fake_services.h"

#include <algorithm>
#include <cstring>

namespace quorvex::testing {

bool RecordingSink::Write(const char* data, size_t size) {
  if (failWrites) return false;
  written_.append(data, size);
  partial_.append(data, size);
  for (size_t end; (end = partial_.find('\n')) != std::string::npos;) {
    events_.push_back("say: " + partial_.substr(0, end));
    partial_.erase(0, end + 1);
  }
  return true;
}

std::shared_ptr<FakeFileSystem::File>* FakeFileSystem::Find(const std::string& name) {
  auto found = files_.find(name);
  return found == files_.end() ? nullptr : &found->second;
}

bool FakeFileSystem::PathExists(const std::string& name) { return Find(name) != nullptr; }

void FakeFileSystem::RemoveFile(const std::string& name) {
  if (files_.erase(name) > 0) events_.push_back("remove: " + name);
}

bool FakeFileSystem::MoveFileNoReplace(const std::string& from, const std::string& to) {
  std::shared_ptr<File>* source = Find(from);
  if (source == nullptr || Find(to) != nullptr) return false;
  files_[to] = *source;
  files_.erase(from);
  events_.push_back("move: " + from + " -> " + to);
  return true;
}

std::optional<FileIdentity> FakeFileSystem::Identify(const std::string& name) {
  std::shared_ptr<File>* file = Find(name);
  if (file == nullptr) return std::nullopt;
  return FileIdentity{1, (*file)->inode, (*file)->contents.size(), (*file)->version};
}

bool FakeFileSystem::WriteWholeFile(const std::string& name, std::string_view contents) {
  if (unwritableNames.count(name) > 0) return false;
  Put(name, std::string(contents));
  events_.push_back("write: " + name);
  return true;
}

void FakeFileSystem::Put(const std::string& name, std::string contents) {
  std::shared_ptr<File>* existing = Find(name);
  if (existing == nullptr) {
    existing = &files_[name];
    *existing = std::make_shared<File>();
    (*existing)->inode = nextInode_++;
  }
  (*existing)->contents = std::move(contents);
  (*existing)->version = clock_++;
}

void FakeFileSystem::Link(const std::string& existing, const std::string& alias) { files_[alias] = *Find(existing); }

std::optional<std::string> FakeFileSystem::Contents(const std::string& name) const {
  auto found = files_.find(name);
  if (found == files_.end()) return std::nullopt;
  return found->second->contents;
}

std::set<std::string> FakeFileSystem::Names() const {
  std::set<std::string> names;
  for (const auto& [name, file] : files_) names.insert(name);
  return names;
}

std::optional<uint32_t> FakeProcessRunner::RunInConsole(const ProcessCommand& command) {
  runCommands.push_back(command);
  events_.push_back("run");
  if (!exitCode) return std::nullopt;
  if (onRun) onRun(command);
  return exitCode;
}

std::optional<CapturedRun> FakeProcessRunner::RunCapturingOutput(const ProcessCommand& command) {
  identifyCommands.push_back(command);
  events_.push_back("identify");
  return listing;
}

void FakeRegistryReader::SetValue(RegistryRoot root, const std::string& key, const std::string& name, Value value) {
  keys_[{root, key}][name] = std::move(value);
}

void FakeRegistryReader::SetString(RegistryRoot root, const std::string& key, const std::string& name,
                                   const std::string& text) {
  SetValue(root, key, name, Value{kRegSz, text + '\0', 0, std::nullopt});
}

std::optional<RegistryReader::Key> FakeRegistryReader::OpenKey(RegistryRoot root, const std::string& path) {
  openedKeys.emplace_back(root, path);
  auto found = keys_.find({root, path});
  if (found == keys_.end()) return std::nullopt;
  handles_.push_back(&found->second);
  ++keysOpen;
  return handles_.size();  // handles count from 1
}

const FakeRegistryReader::Value* FakeRegistryReader::Find(Key key, const std::string& valueName) const {
  const Values& values = *handles_.at(key - 1);
  auto found = values.find(valueName);
  return found == values.end() ? nullptr : &found->second;
}

uint32_t FakeRegistryReader::QueryValueSize(Key key, const std::string& valueName) {
  const Value* value = Find(key, valueName);
  if (value == nullptr) return 0;
  return value->reportedSize.value_or(static_cast<uint32_t>(value->data.size()));
}

RegistryQuery FakeRegistryReader::QueryValue(Key key, const std::string& valueName, uint8_t* buffer,
                                             uint32_t capacity) {
  constexpr int32_t kFileNotFound = 2;
  constexpr int32_t kMoreData = 234;
  const Value* value = Find(key, valueName);
  if (value == nullptr) return {kFileNotFound, 0, 0};
  if (value->dataQueryStatus != 0) return {value->dataQueryStatus, value->type, 0};
  const auto size = static_cast<uint32_t>(value->data.size());
  if (size > capacity) return {kMoreData, value->type, size};
  std::memcpy(buffer, value->data.data(), size);
  return {0, value->type, size};
}

void FakeRegistryReader::CloseKey(Key) { --keysOpen; }

}  // namespace quorvex::testing
