// Chapter languages of a Matroska source survive a remux. The source is
// made by mkvmerge from ffmpeg's media and a chapter file in three
// languages; the outputs are read back with mkvextract.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace quorvex::e2e {
namespace {

const char kChapters[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<Chapters>
  <EditionEntry>
    <ChapterAtom>
      <ChapterTimeStart>00:00:00.000000000</ChapterTimeStart>
      <ChapterDisplay><ChapterString>Prologue</ChapterString><ChapterLanguage>eng</ChapterLanguage></ChapterDisplay>
    </ChapterAtom>
    <ChapterAtom>
      <ChapterTimeStart>00:00:00.400000000</ChapterTimeStart>
      <ChapterDisplay><ChapterString>Zweiter Teil</ChapterString><ChapterLanguage>ger</ChapterLanguage></ChapterDisplay>
    </ChapterAtom>
    <ChapterAtom>
      <ChapterTimeStart>00:00:00.800000000</ChapterTimeStart>
      <ChapterDisplay><ChapterString>Finale</ChapterString><ChapterLanguage>fre</ChapterLanguage></ChapterDisplay>
    </ChapterAtom>
  </EditionEntry>
</Chapters>
)";

// Each chapter's name and language, in order, as mkvextract writes them.
std::vector<std::string> ChapterLabels(const std::string& file) {
  const CommandResult extracted = RunCommand({"mkvextract", file, "chapters", "-"});
  EXPECT_EQ(extracted.exitCode, 0) << file << ": " << extracted.output;
  std::vector<std::string> labels;
  for (const std::string& line : Lines(extracted.output)) {
    for (const std::string element : {"ChapterString", "ChapterLanguage"}) {
      const std::string open = "<" + element + ">";
      const size_t start = line.find(open);
      if (start == std::string::npos) continue;
      const size_t end = line.find("</" + element + ">", start);
      labels.push_back(line.substr(start + open.size(), end - start - open.size()));
    }
  }
  return labels;
}

TEST(ChapterLanguageE2eTest, EachChapterKeepsItsLanguage) {
  ScratchDirectory work;
  const std::string media = work / "media.mkv";
  RunFfmpeg({"-f", "lavfi", "-i", "testsrc2=duration=1.2:size=160x120:rate=25", "-f", "lavfi", "-i",
             "sine=frequency=440:duration=1.2", "-c:v", "libx264", "-preset", "ultrafast", "-c:a", "flac", media});
  const std::string chapters = work / "chapters.xml";
  std::ofstream(chapters) << kChapters;
  const std::string source = work / "source.mkv";
  const CommandResult merged = RunCommand({"mkvmerge", "-q", "-o", source, "--chapters", chapters, media});
  ASSERT_EQ(merged.exitCode, 0) << merged.output;
  const std::vector<std::string> expected = {"Prologue", "eng", "Zweiter Teil", "ger", "Finale", "fre"};
  ASSERT_EQ(ChapterLabels(source), expected);

  // A Matroska source is remuxed for part of its streams.
  for (const std::string option : {"-audioOnly", "-videoOnly"}) {
    SCOPED_TRACE(option);
    const std::string output = work / ("out" + option + ".mkv");
    const CommandResult run = RunQuorvex({source, output, "-no24p", option});
    ASSERT_EQ(run.exitCode, 0) << run.output << run.errorOutput;
    EXPECT_EQ(run.errorOutput, "");
    EXPECT_EQ(ChapterLabels(output), expected);
    // The file stays whole after its languages are put in.
    EXPECT_EQ(RunCommand({"mkvmerge", "-J", output}).exitCode, 0);
  }
}

}  // namespace
}  // namespace quorvex::e2e
