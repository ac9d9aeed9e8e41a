#include "cli/command_line_splitter.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

using Arguments = std::vector<std::string>;

TEST(SplitCommandLineTest, SeparatorsQuotesAndTouchingPieces) {
  struct Case {
    std::string line;
    Arguments arguments;
  };
  const Case cases[] = {
      {"quorvex.exe", {}},
      {"\"C:\\Program Files\\quorvex.exe\" in.ts", {"in.ts"}},
      {"q  in.ts\t-24p\r\n out.mkv ", {"in.ts", "-24p", "out.mkv"}},
      {"q \"my film.ts\" \"out dir\"\\x.mkv", {"my film.ts", "out dir\\x.mkv"}},
      {"q ab\"c d\"e", {"abc de"}},
      {"q \"\" in.ts \"\" -demux", {"in.ts", "-demux"}},  // lone pairs make no argument
      {"q \"\"\"\" in.ts", {"in.ts"}},
      {"q \"\"in.ts", {"in.ts"}},
      {"q in.ts\"\"", {"in.ts"}},
      {"q \" \" -demux", {" ", "-demux"}},
      {"q \"unterminated name", {"unterminated name"}},
      {"q in.ts \"", {"in.ts"}},            // a lone quote at the end ends the list
      {"q a \"\"\" b", {"a", " b"}},        // pair dropped, then a quote opens a section
      {std::string("q a\0b c", 7), {"a"}},  // the line ends at a zero byte
      {"q a\x01\x1F"
       "b",
       {"a", "b"}},  // control characters separate
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCommandLine(c.line, nullptr), c.arguments) << c.line;
}

bool IsShiftJisLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

TEST(SplitCommandLineTest, DoubleByteCharactersAreNeverSplit) {
  // 0x81 0x22 is one character whose second byte looks like a quote;
  // 0x81 0x20 one whose second byte looks like a blank.
  EXPECT_EQ(SplitCommandLine("q a\x81\x22z b", IsShiftJisLeadByte), (Arguments{"a\x81\x22z", "b"}));
  EXPECT_EQ(SplitCommandLine("q a\x81\x20z b", IsShiftJisLeadByte), (Arguments{"a\x81\x20z", "b"}));
  EXPECT_EQ(SplitCommandLine("q \"\x81\x22\" b", IsShiftJisLeadByte), (Arguments{"\x81\x22", "b"}));
  EXPECT_EQ(SplitCommandLine("q a\x81\x22z b", nullptr), (Arguments{"a\x81z b"}));
}

}  // namespace
}  // namespace quorvex
