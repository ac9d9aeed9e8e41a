#include "graph/pin_selection.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

TEST(PinWantedTest, FollowsTheNameAndTheFlags) {
  struct Case {
    const char* name;
    bool videoOnly;
    bool audioOnly;
    bool wanted;
  };
  const Case cases[] = {
      // Neither flag: video or audio.
      {"Video 1", false, false, true},
      {"Audio 2", false, false, true},
      {"Subtitle 3", false, false, false},
      {"", false, false, false},
      // Only video.
      {"Video 1", true, false, true},
      {"Audio 2", true, false, false},
      // Only audio: a name with both words is wanted through "Audio".
      {"Audio 2", false, true, true},
      {"Video 1", false, true, false},
      {"Video with Audio", false, true, true},
      // Both flags: nothing.
      {"Video 1", true, true, false},
      {"Audio 2", true, true, false},
      {"Video with Audio", true, true, false},
      // Any letter case, inside longer words.
      {"VIDEO", false, false, true},
      {"myvideostream", true, false, true},
      {"xAUDIOx", false, true, true},
      {"Vid eo", false, false, false},
      {"Audi", false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << '"' << c.name << "\" videoOnly=" << c.videoOnly << " audioOnly=" << c.audioOnly);
    EXPECT_EQ(PinWanted(c.name, c.videoOnly, c.audioOnly), c.wanted);
  }
}

TPinInfo InfoNamed(std::u16string_view name) {
  TPinInfo info;
  for (size_t i = 0; i < name.size() && i < kMaxPinName; ++i) info.achName[i] = name[i];
  return info;
}

TEST(PinNameTest, ReadsUpToTheFirstNulOrAllUnits) {
  TPinInfo info = InfoNamed(u"Video 1");
  info.achName[8] = u'X';  // after the NUL: not part of the name
  EXPECT_EQ(WidePinName(info), u"Video 1");
  EXPECT_EQ(PinNameOf(info), "Video 1");

  const std::u16string full(kMaxPinName, u'a');
  EXPECT_EQ(WidePinName(InfoNamed(full)), full);
  EXPECT_EQ(PinNameOf(InfoNamed(u"")), "");
  EXPECT_EQ(PinNameOf(InfoNamed(u"Audio \u00e9")), "Audio \xc3\xa9");
}

TEST(PinNameTest, HalfCharactersBecomeQuestionMarks) {
  EXPECT_EQ(NarrowPinText(u"Audio \U0001F600"), "Audio \xF0\x9F\x98\x80");
  EXPECT_EQ(NarrowPinText(std::u16string{u'A', 0xD83D, u'B'}), "A?B");
  EXPECT_EQ(NarrowPinText(std::u16string{0xDE00, u'B'}), "?B");
  EXPECT_EQ(NarrowPinText(std::u16string{u'A', 0xD83D}), "A?");
}

}  // namespace
}  // namespace quorvex
