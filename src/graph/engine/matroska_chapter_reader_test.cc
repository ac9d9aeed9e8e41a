#include "graph/engine/matroska_chapter_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quorvex::engine {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Id(uint32_t id) {
  Bytes bytes;
  for (int shift = 24; shift >= 0; shift -= 8) {
    if (!bytes.empty() || (id >> shift) != 0) bytes.push_back(static_cast<uint8_t>(id >> shift));
  }
  return bytes;
}

// An element with a one-byte size, or an eight-byte one when asked (as
// muxers write them to fill in later).
Bytes El(uint32_t id, const Bytes& data, bool longSize = false) {
  Bytes bytes = Id(id);
  if (longSize) {
    bytes.push_back(0x01);
    for (int shift = 48; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(data.size() >> shift));
  } else {
    bytes.push_back(static_cast<uint8_t>(0x80 | data.size()));
  }
  bytes.insert(bytes.end(), data.begin(), data.end());
  return bytes;
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

Bytes Atom(const std::string& name, const std::string& language) {
  Bytes display = El(0x85, Text(name));
  if (!language.empty()) display = Cat({display, El(0x437C, Text(language))});
  // A second display in another language must not rename the chapter.
  return El(0xB6, Cat({El(0x73C4, {0x01}), El(0x91, {0x00}), El(0x80, display), El(0x80, El(0x85, Text("x")))}));
}

const Bytes kHeader = El(0x1A45DFA3, El(0x4282, Text("matroska")));
const Bytes kCluster = El(0x1F43B675, El(0xE7, {0x00}));
const Bytes kChapters = El(0x1043A770,
                           Cat({El(0x45B9, Cat({Atom("Opening", "eng"), Atom("Zwei", "ger")})),
                                El(0x45B9, Atom("Trois", "fre")), El(0xEC, {0, 0})}),
                           true);

Bytes Segment(const Bytes& children, bool unknownSize = false) {
  if (!unknownSize) return El(0x18538067, children, true);
  return Cat({Id(0x18538067), {0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, children});
}

std::vector<ChapterLabel> Read(const Bytes& file) {
  return ReadMatroskaChapters(MemoryByteSource(file.data(), file.size()));
}

std::string Describe(const std::vector<ChapterLabel>& labels, const Bytes& file) {
  std::string text;
  for (const ChapterLabel& label : labels) {
    text += label.name + ":" + label.language;
    // The offset must point at the language's own bytes, to patch them.
    if (label.languageOffset != 0)
      text += "@" + std::string(file.begin() + static_cast<std::ptrdiff_t>(label.languageOffset),
                                file.begin() + static_cast<std::ptrdiff_t>(label.languageOffset) + 3);
    text += " ";
  }
  return text;
}

TEST(MatroskaChapterReaderTest, FindsChaptersBeforeTheClustersOrThroughTheSeekHead) {
  const auto seekHead = [](uint64_t position) {
    return El(0x114D9B74,
              El(0x4DBB, Cat({El(0x53AB, Id(0x1043A770)), El(0x53AC, {0, 0, static_cast<uint8_t>(position)})})));
  };
  const size_t seekHeadSize = seekHead(0).size();  // the same for every position used here
  const std::string all = "Opening:eng@eng Zwei:ger@ger Trois:fre@fre ";
  struct Case {
    const char* name;
    Bytes file;
    std::string expected;
  };
  const Case cases[] = {
      {"in the header", Cat({kHeader, Segment(Cat({El(0x1549A966, {}), kChapters, kCluster}))}), all},
      {"unknown segment size", Cat({kHeader, Segment(Cat({kChapters, kCluster}), true)}), all},
      {"after the clusters",
       Cat({kHeader, Segment(Cat({seekHead(seekHeadSize + kCluster.size()), kCluster, kChapters}))}), all},
      {"seek position past the segment", Cat({kHeader, Segment(Cat({seekHead(200), kCluster, kChapters}))}), ""},
      {"seek position at no Chapters", Cat({kHeader, Segment(Cat({seekHead(seekHeadSize), kCluster, kChapters}))}), ""},
      {"after the clusters, not indexed", Cat({kHeader, Segment(Cat({kCluster, kChapters}))}), ""},
      {"no chapters", Cat({kHeader, Segment(kCluster)}), ""},
      {"no EBML header", Segment(kChapters), ""},
      {"language absent", Cat({kHeader, Segment(El(0x1043A770, El(0x45B9, Atom("Solo", ""))))}), "Solo:eng "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Describe(Read(c.file), c.file), c.expected);
  }
}

TEST(MatroskaChapterReaderTest, DamagedFilesGiveWhatFitsAndNeverReadPastTheirEnd) {
  const Bytes file = Cat({kHeader, Segment(Cat({kChapters, kCluster}))});
  // Every truncation, in a buffer of exactly that size.
  for (size_t size = 0; size < file.size(); ++size) {
    const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
    for (const ChapterLabel& label : Read(cut)) EXPECT_LE(label.languageOffset + 3, size);
  }
  // Sizes that claim more than their parent holds, at each level.
  Bytes oversized = file;
  for (size_t i = kHeader.size(); i < oversized.size(); ++i) {
    Bytes changed = oversized;
    changed[i] = 0xFF;
    for (const ChapterLabel& label : Read(changed)) EXPECT_LE(label.languageOffset + 3, changed.size());
    changed[i] = 0x00;  // an invalid length marker
    for (const ChapterLabel& label : Read(changed)) EXPECT_LE(label.languageOffset + 3, changed.size());
  }
}

}  // namespace
}  // namespace quorvex::engine
