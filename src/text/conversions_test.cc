#include "text/conversions.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

TEST(ConversionsTest, RoundTripsUtf8ThroughUtf16) {
  const std::string samples[] = {"", "movie.m2ts",
                                 "Fr\xC3\xA9"
                                 "d\xC3\xA9ric.mkv",
                                 "\xE6\x98\xA0\xE7\x94\xBB", "\xF0\x9F\x8E\xAC clip"};
  for (const std::string& text : samples) {
    const std::u16string wide = WidenText(text);
    EXPECT_EQ(NarrowText(wide), text);
  }
  EXPECT_EQ(WidenText("\xF0\x9F\x8E\xAC").size(), 2u) << "characters beyond the BMP become surrogate pairs";
  EXPECT_EQ(WidenText("A\xC3\xA9"), u"A\u00E9");
}

TEST(ConversionsTest, NamesThatAreNotUtf8SurviveTheRoundTripByteForByte) {
  const std::string names[] = {"caf\xE9.ts",  // Latin-1
                               "\xFF",
                               "\xC3",
                               "\xC0\xAF",          // no lead, cut short, overlong
                               "\xED\xA0\x80",      // an encoded surrogate
                               "\xF4\x90\x80\x80",  // beyond U+10FFFF
                               "ok\x80",
                               "\xE9\xC3\xA9\xF0\x9F\x8E",
                               std::string("a\0\xFE", 3)};
  for (const std::string& name : names) EXPECT_EQ(NarrowText(WidenText(name)), name) << name;
  // Every byte pair, which covers each lead byte with each follower.
  for (unsigned first = 0; first < 256; ++first) {
    for (unsigned second = 0; second < 256; ++second) {
      const std::string pair{static_cast<char>(first), static_cast<char>(second)};
      ASSERT_EQ(NarrowText(WidenText(pair)), pair) << first << " " << second;
    }
  }
  // Valid UTF-8 around the odd byte is still read as characters.
  EXPECT_EQ(WidenText("\xC3\xA9\xE9"), (std::u16string{u'\u00E9', char16_t{0xDCE9}}));
}

TEST(ConversionsTest, SurrogatesThatStandForNoByteGiveEmptyText) {
  EXPECT_EQ(NarrowText(std::u16string(1, char16_t{0xD800})), "");
  EXPECT_EQ(NarrowText(std::u16string{char16_t{0xDC00}, u'a'}), "");
  EXPECT_EQ(NarrowText(std::u16string{u'a', char16_t{0xDD00}}), "");
}

TEST(FixedWideTextTest, StopsAtTheFirstZeroUnit) {
  char16_t units[128];
  std::fill(std::begin(units), std::end(units), u'x');
  EXPECT_EQ(FixedWideText(units, 128).size(), 128u);
  units[5] = 0;
  EXPECT_EQ(FixedWideText(units, 128), u"xxxxx");
  units[0] = 0;
  EXPECT_EQ(FixedWideText(units, 128), u"");
}

}  // namespace
}  // namespace quorvex
