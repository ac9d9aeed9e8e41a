#include "platform/posix/mkvmerge_path_search.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace quorvex {
namespace {

namespace fs = std::filesystem;

const std::string kKey = "Software\\mkvmergeGUI\\GUI";

// Folders with and without a usable mkvmerge, and PATH set for one test.
class MkvmergePathSearchTest : public ::testing::Test {
 protected:
  MkvmergePathSearchTest()
      : root_(fs::temp_directory_path() / ("quorvex-path-" + std::to_string(std::random_device()()))) {
    fs::create_directories(root_ / "plain");
    fs::create_directories(root_ / "directory" / "mkvmerge");
    fs::create_directories(root_ / "installed");
    fs::create_directories(root_ / "empty");
    std::ofstream(root_ / "plain" / "mkvmerge") << "#!/bin/sh\n";  // not executable
    std::ofstream(root_ / "installed" / "mkvmerge") << "#!/bin/sh\n";
    fs::permissions(root_ / "installed" / "mkvmerge", fs::perms::owner_all);
    if (const char* path = std::getenv("PATH")) savedPath_ = path;
  }
  ~MkvmergePathSearchTest() override {
    if (savedPath_) setenv("PATH", savedPath_->c_str(), 1);
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  std::string Folder(const std::string& name) const { return (root_ / name).string(); }

  // The installation folder as a Windows program would read it.
  std::optional<std::string> InstallationPath(MkvmergePathSearch& reader, const std::string& value) {
    const std::optional<RegistryReader::Key> key = reader.OpenKey(RegistryRoot::kCurrentUser, kKey);
    if (!key) return std::nullopt;
    const uint32_t size = reader.QueryValueSize(*key, value);
    std::vector<uint8_t> buffer(size);
    const RegistryQuery query = reader.QueryValue(*key, value, buffer.data(), size);
    reader.CloseKey(*key);
    if (query.status != 0) return std::string();
    EXPECT_EQ(query.type, kRegSz);
    EXPECT_EQ(query.bytesStored, size);
    EXPECT_EQ(buffer.back(), 0) << "a string is stored with its terminating zero";
    return std::string(buffer.begin(), buffer.end() - 1);
  }

  fs::path root_;
  std::optional<std::string> savedPath_;
};

TEST_F(MkvmergePathSearchTest, InstallationPathIsTheFolderOfTheFirstExecutableMkvmerge) {
  setenv("PATH",
         (Folder("empty") + ":" + Folder("plain") + ":" + Folder("directory") + ":" + Folder("installed") + ":/usr/bin")
             .c_str(),
         1);
  MkvmergePathSearch reader;
  EXPECT_EQ(InstallationPath(reader, "installation_path"), Folder("installed"));
  EXPECT_EQ(InstallationPath(reader, "INSTALLATION_PATH"), Folder("installed")) << "names ignore letter case";
  EXPECT_EQ(InstallationPath(reader, "other"), "");

  setenv("PATH", (Folder("installed") + "/").c_str(), 1);
  EXPECT_EQ(InstallationPath(reader, "installation_path"), Folder("installed") + "/") << "as PATH names it";
}

TEST_F(MkvmergePathSearchTest, NoMkvmergeOnPathGivesNoValue) {
  setenv("PATH", (Folder("empty") + ":" + Folder("plain")).c_str(), 1);
  MkvmergePathSearch reader;
  const std::optional<RegistryReader::Key> key = reader.OpenKey(RegistryRoot::kCurrentUser, kKey);
  ASSERT_TRUE(key);
  EXPECT_EQ(reader.QueryValueSize(*key, "installation_path"), 0u);
  uint8_t buffer[8];
  EXPECT_NE(reader.QueryValue(*key, "installation_path", buffer, sizeof buffer).status, 0);
  reader.CloseKey(*key);
}

TEST_F(MkvmergePathSearchTest, TooSmallBufferIsRefused) {
  setenv("PATH", Folder("installed").c_str(), 1);
  MkvmergePathSearch reader;
  const std::optional<RegistryReader::Key> key = reader.OpenKey(RegistryRoot::kCurrentUser, kKey);
  ASSERT_TRUE(key);
  std::vector<uint8_t> buffer(reader.QueryValueSize(*key, "installation_path") - 1);
  const RegistryQuery query =
      reader.QueryValue(*key, "installation_path", buffer.data(), static_cast<uint32_t>(buffer.size()));
  EXPECT_NE(query.status, 0);
}

TEST_F(MkvmergePathSearchTest, EveryOtherKeyFailsToOpen) {
  setenv("PATH", Folder("installed").c_str(), 1);
  MkvmergePathSearch reader;
  EXPECT_EQ(reader.OpenKey(RegistryRoot::kLocalMachine, kKey), std::nullopt);
  EXPECT_EQ(reader.OpenKey(RegistryRoot::kLocalMachine,
                           "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MKVtoolnix"),
            std::nullopt);
  EXPECT_EQ(reader.OpenKey(RegistryRoot::kCurrentUser, "Software\\mkvmergeGUI"), std::nullopt);
  EXPECT_TRUE(reader.OpenKey(RegistryRoot::kCurrentUser, "software\\MKVMERGEGUI\\gui"));
}

TEST(FindProgramFolderTest, EmptyEntriesStandForTheCurrentFolder) {
  EXPECT_EQ(FindProgramFolder("", "sh"), "");  // no /bin/sh-like file in the test's current folder
  EXPECT_EQ(FindProgramFolder("/nonexistent::/bin", "sh"), "/bin");
}

}  // namespace
}  // namespace quorvex
