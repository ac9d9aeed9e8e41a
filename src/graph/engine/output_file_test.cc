#include "graph/engine/output_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/in_memory_media_files.h"

namespace quorvex::engine {
namespace {

using Names = std::vector<std::string>;

bool Put(OutputFile& output, const std::string& text) {
  FileError error;
  return output.file().Write(reinterpret_cast<const uint8_t*>(text.data()), text.size(), error);
}

class OutputFileTest : public ::testing::Test {
 protected:
  OutputFileTest() {
    files_.AddDirectory("/out");
    files_.AddFile("/out/movie.mkv", "last week's film");
  }
  InMemoryMediaFiles files_;
  FileError error_;
};

TEST_F(OutputFileTest, PartialFileSitsBesideTheDestination) {
  EXPECT_EQ(OutputFile::PartialNameFor("/out/movie.mkv"), "/out/.movie.mkv.quorvex-part");
  EXPECT_EQ(OutputFile::PartialNameFor("movie.mkv"), ".movie.mkv.quorvex-part");
}

TEST_F(OutputFileTest, DestinationChangesOnlyAtCommit) {
  auto output = OutputFile::Create(files_, "/out/movie.mkv", error_);
  ASSERT_NE(output, nullptr);
  ASSERT_TRUE(Put(*output, "new film"));
  EXPECT_EQ(files_.ContentsOf("/out/movie.mkv"), "last week's film");
  EXPECT_TRUE(files_.HasFile("/out/.movie.mkv.quorvex-part"));
  ASSERT_TRUE(output->Commit(error_));
  EXPECT_EQ(files_.ContentsOf("/out/movie.mkv"), "new film");
  EXPECT_EQ(files_.Names(), (Names{"/out", "/out/movie.mkv"}));
}

TEST_F(OutputFileTest, AbandonedOrFailedOutputKeepsTheOldDestinationAndLeavesNothing) {
  for (const bool failRename : {false, true}) {
    InMemoryMediaFiles files;
    files.AddDirectory("/out");
    files.AddFile("/out/movie.mkv", "last week's film");
    if (failRename) files.FailReplacing();
    {
      auto output = OutputFile::Create(files, "/out/movie.mkv", error_);
      ASSERT_NE(output, nullptr);
      ASSERT_TRUE(Put(*output, "half a fi"));
      if (failRename) {
        EXPECT_FALSE(output->Commit(error_));
      }
      // Without a commit, going out of scope abandons.
    }
    EXPECT_EQ(files.ContentsOf("/out/movie.mkv"), "last week's film") << failRename;
    EXPECT_EQ(files.Names(), (Names{"/out", "/out/movie.mkv"})) << failRename;
  }
}

TEST_F(OutputFileTest, DeviceIsWrittenDirectlyAndNeverReplaced) {
  files_.AddDevice("/dev/null");
  auto output = OutputFile::Create(files_, "/dev/null", error_);
  ASSERT_NE(output, nullptr);
  ASSERT_TRUE(Put(*output, "data"));
  ASSERT_TRUE(output->Commit(error_));
  EXPECT_EQ(files_.KindOf("/dev/null"), PathKind::kOther);
  EXPECT_FALSE(files_.HasFile("/dev/.null.quorvex-part"));
}

TEST_F(OutputFileTest, SymbolicLinkIsFollowedAndItsTargetReplaced) {
  files_.AddDirectory("/films");
  files_.AddFile("/films/movie.mkv", "old");
  files_.AddLink("/out/link.mkv", "/films/movie.mkv");
  auto output = OutputFile::Create(files_, "/out/link.mkv", error_);
  ASSERT_NE(output, nullptr);
  ASSERT_TRUE(Put(*output, "new"));
  ASSERT_TRUE(output->Commit(error_));
  EXPECT_EQ(files_.ContentsOf("/films/movie.mkv"), "new");
  EXPECT_EQ(files_.FollowLinks("/out/link.mkv"), "/films/movie.mkv");
}

TEST_F(OutputFileTest, NothingIsCreatedWhereNoFileCanBe) {
  struct Case {
    std::string destination;
    std::string reason;
  };
  for (const Case& c : {Case{"/out", "Is a directory"}, Case{"/missing/movie.mkv", "No such file or directory"}}) {
    FileError error;
    EXPECT_EQ(OutputFile::Create(files_, c.destination, error), nullptr) << c.destination;
    EXPECT_EQ(error.message, c.reason);
  }
  EXPECT_EQ(files_.Names(), (Names{"/out", "/out/movie.mkv"}));
}

}  // namespace
}  // namespace quorvex::engine
