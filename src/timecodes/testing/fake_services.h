#ifndef QUORVEX_TIMECODES_TESTING_FAKE_SERVICES_H_
#define QUORVEX_TIMECODES_TESTING_FAKE_SERVICES_H_

// In-memory stand-ins for the platform services of the re-timing jobs. They
// share one event log, so tests can check the order of lines and file
// operations together.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/process_runner.h"
#include "platform/registry_reader.h"

namespace quorvex::testing {

using EventLog = std::vector<std::string>;

// Records every complete line written as "say: <line>".
class RecordingSink : public OutputSink {
 public:
  RecordingSink(EventLog& events, bool terminal) : events_(events), terminal_(terminal) {}
  bool Write(const char* data, size_t size) override;
  bool IsTerminal() const override { return terminal_; }
  // Every byte written so far.
  const std::string& written() const { return written_; }
  // Makes every write fail, as a closed standard output would.
  bool failWrites = false;

 private:
  EventLog& events_;
  bool terminal_;
  std::string written_;
  std::string partial_;
};

// Files as names with contents; a move or removal is logged as
// "move: a -> b" and "remove: a" when it changes something.
class FakeFileSystem : public FileSystem {
 public:
  explicit FakeFileSystem(EventLog& events) : events_(events) {}

  bool PathExists(const std::string& name) override;
  void RemoveFile(const std::string& name) override;
  bool MoveFileNoReplace(const std::string& from, const std::string& to) override;
  std::optional<FileIdentity> Identify(const std::string& name) override;
  bool WriteWholeFile(const std::string& name, std::string_view contents) override;

  // Test set-up, not logged.
  void Put(const std::string& name, std::string contents);
  // A second name for the file `existing` names (a hard link).
  void Link(const std::string& existing, const std::string& alias);
  std::optional<std::string> Contents(const std::string& name) const;
  std::set<std::string> Names() const;

  std::set<std::string> unwritableNames;  // WriteWholeFile fails for these

 private:
  struct File {
    std::string contents;
    uint64_t inode = 0;
    int64_t version = 0;
  };
  std::shared_ptr<File>* Find(const std::string& name);

  EventLog& events_;
  std::map<std::string, std::shared_ptr<File>> files_;
  uint64_t nextInode_ = 1;
  int64_t clock_ = 1;
};

// Plays mkvmerge: its track listing answers with `listing`, every other run
// calls `onRun` (which may write files) and answers `exitCode`. Runs are
// logged as "identify" and "run".
class FakeProcessRunner : public ProcessRunner {
 public:
  explicit FakeProcessRunner(EventLog& events) : events_(events) {}
  std::optional<uint32_t> RunInConsole(const ProcessCommand& command) override;
  std::optional<CapturedRun> RunCapturingOutput(const ProcessCommand& command) override;

  std::optional<CapturedRun> listing = CapturedRun{
      0,
      R"({"tracks":[{"id":0,"type":"video","properties":{"default_duration":41708333}},{"id":1,"type":"audio","properties":{}}]})"};
  std::optional<uint32_t> exitCode = 0;
  std::function<void(const ProcessCommand&)> onRun;
  std::vector<ProcessCommand> identifyCommands;
  std::vector<ProcessCommand> runCommands;

 private:
  EventLog& events_;
};

// Registry keys and values held in memory. Values are stored as the system
// stores them: a plain string with its terminating zero.
class FakeRegistryReader : public RegistryReader {
 public:
  struct Value {
    uint32_t type = kRegSz;
    std::string data;
    int32_t dataQueryStatus = 0;           // a failing data query when non-zero
    std::optional<uint32_t> reportedSize;  // what the size query says, when not the true size
  };

  void SetValue(RegistryRoot root, const std::string& key, const std::string& name, Value value);
  void SetString(RegistryRoot root, const std::string& key, const std::string& name, const std::string& text);

  std::optional<Key> OpenKey(RegistryRoot root, const std::string& path) override;
  uint32_t QueryValueSize(Key key, const std::string& valueName) override;
  RegistryQuery QueryValue(Key key, const std::string& valueName, uint8_t* buffer, uint32_t capacity) override;
  void CloseKey(Key key) override;

  std::vector<std::pair<RegistryRoot, std::string>> openedKeys;  // every successful or failed open
  int keysOpen = 0;                                              // opened and not yet closed

 private:
  using Values = std::map<std::string, Value>;
  const Value* Find(Key key, const std::string& valueName) const;

  std::map<std::pair<RegistryRoot, std::string>, Values> keys_;
  std::vector<const Values*> handles_;
};

}  // namespace quorvex::testing

#endif  // QUORVEX_TIMECODES_TESTING_FAKE_SERVICES_H_
