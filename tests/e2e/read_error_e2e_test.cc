// A source on a failing disk: the run fails with its line and the system's
// reason, and the destination stays as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace quorvex::e2e {
namespace {

namespace fs = std::filesystem;

TEST(ReadErrorE2eTest, BadSectorInTheSourceFailsTheRunAndKeepsTheOldDestination) {
  ScratchDirectory dir;
  const std::string source = dir / "film.ts";
  RunFfmpeg({"-f", "lavfi", "-i", "testsrc2=duration=4:size=1280x720:rate=25", "-f", "lavfi", "-i", "sine=duration=4",
             "-c:v", "libx264", "-preset", "ultrafast", "-b:v", "8M", "-c:a", "ac3", "-f", "mpegts", source});
  const std::string oldFilm = "last week's film";
  struct Case {
    std::string where;
    uintmax_t offset;
    std::string line;
  };
  const Case cases[] = {
      {"at the start", 0, "Loading source file failed."},
      // Far from both ends, which probing reads.
      {"in the middle", fs::file_size(source) / 2, "An error ocurred during muxing."},
  };
  for (const Case& c : cases) {
    {
      std::FILE* file = std::fopen((dir / "film.mkv").c_str(), "wb");
      ASSERT_NE(file, nullptr);
      std::fputs(oldFilm.c_str(), file);
      std::fclose(file);
    }
    const CommandResult run =
        RunQuorvex({source}, {std::string("LD_PRELOAD=") + QUORVEX_READ_ERROR_SHIM, "QUORVEX_BAD_FILE=" + source,
                              "QUORVEX_BAD_OFFSET=" + std::to_string(c.offset),
                              // A sanitizer build's runtime is content not to come first here.
                              "ASAN_OPTIONS=verify_asan_link_order=0"});
    SCOPED_TRACE(c.where);
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_FALSE(Lines(run.output).empty());
    EXPECT_EQ(Lines(run.output).back(), c.line);
    EXPECT_EQ(Lines(run.errorOutput), (std::vector<std::string>{"quorvex: " + source + ": Input/output error"}));
    EXPECT_EQ(ReadFile(dir / "film.mkv"), oldFilm);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"film.mkv", "film.ts"}));
  }
}

}  // namespace
}  // namespace quorvex::e2e
