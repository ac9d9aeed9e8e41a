#include "text/fold.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

TEST(LowerFold1252Test, FoldsLettersOfWindows1252AndNothingElse) {
  for (unsigned c = 0; c < 256; ++c) {
    unsigned expected = c;
    if ((c >= 0x41 && c <= 0x5A) || (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xDE)) expected = c + 0x20;
    if (c == 0x8A || c == 0x8C || c == 0x8E) expected = c + 0x10;
    if (c == 0x9F) expected = 0xFF;
    EXPECT_EQ(LowerFold1252[c], expected) << "byte " << c;
  }
}

TEST(SameTextFoldTest, ComparesWholeTextsThroughTheFoldTable) {
  struct Case {
    std::string a, b;
    bool same;
  };
  const Case cases[] = {
      {"", "", true},           {".MKV", ".mkv", true},
      {".mkv", ".mkvx", false}, {"\xC4", "\xE4", true},
      {"\x8A", "\x9A", true},   {"\x9F", "\xFF", true},
      {"\xDF", "\xFF", false},  {"\xDF", "\xDF", true},
      {"\xD7", "\xF7", false},  {std::string("a\0b", 3), std::string("A\0B", 3), true},
  };
  for (const Case& c : cases) EXPECT_EQ(SameTextFold(c.a, c.b), c.same) << c.a << " vs " << c.b;
}

TEST(FindTextFoldTest, HonoursTheStartRangeBothWays) {
  struct Case {
    uint32_t first, last;
    int32_t expected;
  };
  const Case cases[] = {
      {1, 1, 1}, {2, 4, 3}, {4, 4, 0}, {4, 1, 3}, {3, 2, 3}, {5, 4, 0}, {2147483647u, 1, 3}, {0, 5, 0}, {5, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindTextFold("ab", "abab", c.first, c.last), c.expected) << c.first << ".." << c.last;
  }
}

TEST(FindTextFoldTest, MatchesMayRunPastTheLastStartAndIgnoreCase) {
  EXPECT_EQ(FindTextFold("bab", "abab", 1, 2), 2);
  EXPECT_EQ(FindTextFold("AB", "xxab"), 3);
  EXPECT_EQ(FindTextFold("video", "Stream VIDEO 1"), 8);
}

TEST(FindTextFoldTest, EmptyOrTooLongInputFindsNothing) {
  EXPECT_EQ(FindTextFold("", "abc"), 0);
  EXPECT_EQ(FindTextFold("abc", ""), 0);
  EXPECT_EQ(FindTextFold("abcd", "abc"), 0);
}

TEST(FindTextRangeTest, ZeroLengthMeansZeroTerminated) {
  EXPECT_EQ(FindTextRange("ab", "xxab", 0, 4, false, 0, 10), 2);
  EXPECT_EQ(FindTextRange("ab", "xxab", 2, 0, false, 0, 10), 2);
  EXPECT_EQ(FindTextRange("ab", "", 2, 0, false, 0, 10), -1);
  EXPECT_EQ(FindTextRange("ab", nullptr, 2, 4, false, 0, 10), -1);
  EXPECT_EQ(FindTextRange(nullptr, "ab", 2, 2, false, 0, 10), -1);
}

TEST(FindTextRangeTest, CaseFoldFlagDecidesLetterCase) {
  EXPECT_EQ(FindTextRange("AB", "xab", 2, 3, false, 0, 10), -1);
  EXPECT_EQ(FindTextRange("AB", "xab", 2, 3, true, 0, 10), 1);
}

TEST(StripCharTest, RemovesEveryOccurrenceInPlace) {
  std::string name = "\"C:\\my film\".ts\"";
  EXPECT_TRUE(StripChar(name, '"'));
  EXPECT_EQ(name, "C:\\my film.ts");

  std::string plain = "movie.ts";
  EXPECT_FALSE(StripChar(plain, '"'));
  EXPECT_EQ(plain, "movie.ts");

  std::string quotes = "\"\"\"";
  EXPECT_TRUE(StripChar(quotes, '"'));
  EXPECT_EQ(quotes, "");
}

}  // namespace
}  // namespace quorvex
