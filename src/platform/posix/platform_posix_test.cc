#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/posix/file_system_posix.h"

namespace quorvex {
namespace {

class PosixFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("quorvex-fs-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string PathOf(const std::string& name) { return (dir_ / name).string(); }
  void Write(const std::string& name, const std::string& contents) { std::ofstream(PathOf(name)) << contents; }
  std::string Read(const std::string& name) {
    std::ifstream file(PathOf(name));
    return std::string(std::istreambuf_iterator<char>(file), {});
  }

  std::filesystem::path dir_;
  PosixFileSystem files_;
};

TEST_F(PosixFileSystemTest, ExistenceCountsDirectoriesAndRemovalIsQuiet) {
  Write("a", "x");
  EXPECT_TRUE(files_.PathExists(PathOf("a")));
  EXPECT_TRUE(files_.PathExists(dir_.string()));
  EXPECT_FALSE(files_.PathExists(PathOf("missing")));
  files_.RemoveFile(PathOf("a"));
  files_.RemoveFile(PathOf("a"));
  EXPECT_FALSE(files_.PathExists(PathOf("a")));
}

TEST_F(PosixFileSystemTest, MoveNeverReplacesAnExistingFile) {
  Write("from", "new");
  Write("to", "old");
  EXPECT_FALSE(files_.MoveFileNoReplace(PathOf("from"), PathOf("to")));
  EXPECT_EQ(Read("to"), "old");
  EXPECT_EQ(Read("from"), "new");
  EXPECT_TRUE(files_.MoveFileNoReplace(PathOf("from"), PathOf("free")));
  EXPECT_EQ(Read("free"), "new");
  EXPECT_FALSE(files_.PathExists(PathOf("from")));
}

TEST_F(PosixFileSystemTest, IdentityTellsLinksToOneFileAndChanges) {
  Write("a", "x");
  std::filesystem::create_symlink(PathOf("a"), PathOf("link"));
  auto a = files_.Identify(PathOf("a"));
  auto link = files_.Identify(PathOf("link"));
  ASSERT_TRUE(a && link);
  EXPECT_TRUE(a->SameFileAs(*link));
  Write("a", "longer");
  auto changed = files_.Identify(PathOf("a"));
  ASSERT_TRUE(changed);
  EXPECT_NE(*a, *changed);
  EXPECT_FALSE(files_.Identify(PathOf("missing")));
}

TEST_F(PosixFileSystemTest, WholeFileIsReplacedOrNotCreated) {
  Write("t.txt", "a much longer previous content");
  EXPECT_TRUE(files_.WriteWholeFile(PathOf("t.txt"), "abc\r\n"));
  EXPECT_EQ(Read("t.txt"), "abc\r\n");
  EXPECT_FALSE(files_.WriteWholeFile(PathOf("no/such/dir.txt"), "x"));
  // Some sandboxes have no /dev/full; writing there would make a plain file.
  if (std::filesystem::is_character_file("/dev/full")) {
    EXPECT_FALSE(files_.WriteWholeFile("/dev/full", "x")) << "a short write is a failure";
  }
}

}  // namespace
}  // namespace quorvex
