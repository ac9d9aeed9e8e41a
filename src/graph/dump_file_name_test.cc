#include "graph/dump_file_name.h"

#include <gtest/gtest.h>

#include "text/conversions.h"

namespace quorvex {
namespace {

TPinInfo InfoNamed(std::u16string_view name) {
  TPinInfo info;
  for (size_t i = 0; i < name.size() && i < kMaxPinName; ++i) info.achName[i] = name[i];
  return info;
}

TEST(DumpFileNameForTest, PosixNames) {
  struct Case {
    std::u16string destFile;
    std::u16string pinName;
    std::u16string expected;
  };
  const Case cases[] = {
      {u"/out/film.mkv", u"Video 1", u"/out/film.1.mpv"},
      {u"/out/film.mkv", u"Audio 2", u"/out/film.2.mpa"},
      // Six units or fewer leave nothing between the dots.
      {u"/out/film.mkv", u"Video", u"/out/film..mpv"},
      {u"/out/film.mkv", u"Audio ", u"/out/film..mpa"},
      {u"/out/film.mkv", u"V", u"/out/film..mpa"},
      {u"/out/film.mkv", u"", u"/out/film..mpa"},
      // The kind follows the name alone, whatever made the pin wanted.
      {u"/out/film.mkv", u"Audio Video", u"/out/film.Video.mpv"},
      {u"/out/film.mkv", u"Subtitle 3", u"/out/film.le 3.mpa"},
      {u"/out/film.mkv", u"stream video #2", u"/out/film. video #2.mpv"},
      // No extension: appended; a dot in a directory is no extension.
      {u"/out/film", u"Video 1", u"/out/film.1.mpv"},
      {u"/out.d/film", u"Audio 2", u"/out.d/film.2.mpa"},
      {u"film.mkv", u"Video 1", u"film.1.mpv"},
      {u"f", u"Audio 12", u"f.12.mpa"},
      {u"", u"Video 1", u".1.mpv"},
      // Two pins that agree from the seventh unit on share their file.
      {u"/out/film.mkv", u"Audio 2", u"/out/film.2.mpa"},
      {u"/out/film.mkv", u"AUDIO 2", u"/out/film.2.mpa"},
      {u"/out/film.mkv", u"Audio \u00e9", u"/out/film.\u00e9.mpa"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(NarrowText(c.destFile) + " + " + NarrowText(c.pinName));
    EXPECT_EQ(DumpFileNameFor(c.destFile, InfoNamed(c.pinName), PosixFileNameRules()), c.expected);
  }
}

TEST(DumpFileNameForTest, WindowsNames) {
  const FileNameRules& windows = WindowsFileNameRules();
  EXPECT_EQ(DumpFileNameFor(u"C:\\out\\film.mkv", InfoNamed(u"Video 1"), windows), u"C:\\out\\film.1.mpv");
  EXPECT_EQ(DumpFileNameFor(u"C:\\out\\film.mkv", InfoNamed(u"Audio 2"), windows), u"C:\\out\\film.2.mpa");
  EXPECT_EQ(DumpFileNameFor(u"C:\\out\\film.mkv", InfoNamed(u"Video"), windows), u"C:\\out\\film..mpv");
  EXPECT_EQ(DumpFileNameFor(u"C:\\films.hd\\film", InfoNamed(u"Video 1"), windows), u"C:\\films.hd\\film.1.mpv");
}

TEST(DumpFileNameForTest, FullLengthNameIsReadWithoutNul) {
  const std::u16string name = u"Video " + std::u16string(kMaxPinName - 6, u'x');
  EXPECT_EQ(DumpFileNameFor(u"/out/film.mkv", InfoNamed(name), PosixFileNameRules()),
            u"/out/film." + std::u16string(kMaxPinName - 6, u'x') + u".mpv");
}

TEST(DumpFileNameForTest, HalfCharactersDoNotEmptyTheExtension) {
  // The seventh unit is the second half of a character that starts at the sixth.
  const std::u16string cut = std::u16string(u"Video") + u"\U0001F600" + u"1";
  EXPECT_EQ(DumpFileNameFor(u"/out/film.mkv", InfoNamed(cut), PosixFileNameRules()), u"/out/film.?1.mpv");
  const std::u16string lone{u'A', u'u', u'd', u'i', u'o', u' ', 0xD800, u'2'};
  EXPECT_EQ(DumpFileNameFor(u"/out/film.mkv", InfoNamed(lone), PosixFileNameRules()), u"/out/film.?2.mpa");
}

}  // namespace
}  // namespace quorvex
