#include "timecodes/timecode_file.h"

#include <gtest/gtest.h>

#include "text/file_names.h"

namespace quorvex {
namespace {

TEST(TimecodeFileTest, ContentsAreByteExactForEveryRate) {
  for (const char* rate : {"23.976", "25.000", "29.970"}) {
    const std::string contents = TimecodeFileContents(rate);
    EXPECT_EQ(contents, std::string("# timecode format v1\r\nassume ") + rate + "\r\n");
    EXPECT_EQ(contents.size(), 37u) << rate;
  }
}

TEST(TimecodeFileTest, RateTextIsWrittenAsGiven) {
  EXPECT_EQ(TimecodeFileContents(""), "# timecode format v1\r\nassume \r\n");
  EXPECT_EQ(TimecodeFileContents("50"), "# timecode format v1\r\nassume 50\r\n");
}

TEST(TimecodeFileTest, NameReplacesTheOutputsExtension) {
  EXPECT_EQ(TimecodeFileName("movie.mkv"), "movie.24p.txt");
  EXPECT_EQ(TimecodeFileName("movie.new.mkv"), "movie.new.24p.txt");
  EXPECT_EQ(TimecodeFileName("movie"), "movie.24p.txt");
  const std::string inFolder = std::string("films") + "/" + "movie.mkv";
  EXPECT_EQ(TimecodeFileName(inFolder), ReplaceExtension(inFolder, ".24p.txt"));
}

}  // namespace
}  // namespace quorvex
