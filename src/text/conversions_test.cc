#include "text/conversions.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

TEST(ConversionsTest, RoundTripsUtf8ThroughUtf16) {
  const std::string samples[] = {"", "movie.m2ts", "Fr\xC3\xA9" "d\xC3\xA9ric.mkv", "\xE6\x98\xA0\xE7\x94\xBB",
                                 "\xF0\x9F\x8E\xAC clip"};
  for (const std::string& text : samples) {
    const std::u16string wide = WidenText(text);
    EXPECT_EQ(NarrowText(wide), text);
  }
  EXPECT_EQ(WidenText("\xF0\x9F\x8E\xAC").size(), 2u) << "characters beyond the BMP become surrogate pairs";
  EXPECT_EQ(WidenText("A\xC3\xA9"), u"A\u00E9");
}

TEST(ConversionsTest, MalformedInputGivesEmptyText) {
  const std::string malformed[] = {"\xFF", "\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "ok\x80"};
  for (const std::string& text : malformed) EXPECT_EQ(WidenText(text), u"") << text;
  EXPECT_EQ(NarrowText(std::u16string(1, char16_t{0xD800})), "");
  EXPECT_EQ(NarrowText(std::u16string{char16_t{0xDC00}, u'a'}), "");
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
