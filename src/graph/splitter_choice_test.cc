#include "graph/splitter_choice.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

TEST(SplitterChoiceTest, WmvInAnyLetterCaseChoosesTheWmvSplitter) {
  struct Case {
    std::u16string source;
    bool wmv;
  };
  const Case cases[] = {
      {u"film.wmv", true},      {u"FILM.WMV", true},       {u"film.wMv", true},       {u"/in/dir/clip.Wmv", true},
      {u".wmv", true},          {u"film.wmv.mkv", false},  {u"film.wmva", false},     {u"film.wm", false},
      {u"filmwmv", false},      {u"film", false},          {u"", false},              {u"/in/x.wmv/film", false},
      {u"film.m2ts", false},    {u"film.avi", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.source.begin(), c.source.end()));
    const Guid clsid = SplitterClsidFor(c.source);
    EXPECT_EQ(clsid, c.wmv ? kClsidWmvSplitter : kClsidHaaliSplitter);
    const SplitterLines lines = SplitterLinesFor(clsid);
    EXPECT_EQ(lines.creating, c.wmv ? "Getting WMV Splitter instance failed."
                                    : "Getting Haali Simple Media Splitter instance failed.");
    EXPECT_EQ(lines.adding, c.wmv ? "Adding WMV Splitter failed." : "Adding Haali Media Splitter failed.");
  }
}

}  // namespace
}  // namespace quorvex
