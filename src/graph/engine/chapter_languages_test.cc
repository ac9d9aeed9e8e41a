#include "graph/engine/chapter_languages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "posix_test_support.h"

namespace quorvex::engine {
namespace {

using Bytes = std::vector<uint8_t>;

// An element with a one-byte size; `id` is written without leading zeros.
Bytes El(uint32_t id, const Bytes& data) {
  Bytes bytes;
  for (int shift = 24; shift >= 0; shift -= 8) {
    if (!bytes.empty() || (id >> shift) != 0) bytes.push_back(static_cast<uint8_t>(id >> shift));
  }
  bytes.push_back(static_cast<uint8_t>(0x80 | data.size()));
  bytes.insert(bytes.end(), data.begin(), data.end());
  return bytes;
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A Matroska file whose chapters are named and languaged as given.
Bytes File(const std::vector<std::pair<std::string, std::string>>& chapters) {
  Bytes atoms;
  for (const auto& [name, language] : chapters) {
    const Bytes atom = El(0xB6, El(0x80, [&] {
                            Bytes display = El(0x85, Text(name));
                            const Bytes lang = El(0x437C, Text(language));
                            display.insert(display.end(), lang.begin(), lang.end());
                            return display;
                          }()));
    atoms.insert(atoms.end(), atom.begin(), atom.end());
  }
  Bytes file = El(0x1A45DFA3, El(0x4282, Text("matroska")));
  const Bytes segment = El(0x18538067, El(0x1043A770, El(0x45B9, atoms)));
  file.insert(file.end(), segment.begin(), segment.end());
  return file;
}

TEST(ChapterLanguagesTest, EachUndeterminedLanguageTakesItsSourceChaptersCode) {
  test_support::ScratchDirectory work;
  const std::string output = work / "out.mkv";
  {
    const Bytes bytes = File({{"One", "und"}, {"Two", "und"}, {"Three", "und"}, {"Four", "und"}, {"Five", "jpn"}});
    std::ofstream(output, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  // "Lost" made no output chapter; "Three" has no usable code; "Five" was
  // written with a language already, which stays.
  const std::vector<ChapterLabel> source = {{"One", "ger", 0},   {"Lost", "ita", 0}, {"Two", "fre", 0},
                                            {"Three", "Eng", 0}, {"Four", "spa", 0}, {"Five", "eng", 0}};
  ASSERT_TRUE(PatchChapterLanguages(output, source));
  // Only the language bytes changed: the file is the one written with them.
  const Bytes expected = File({{"One", "ger"}, {"Two", "fre"}, {"Three", "und"}, {"Four", "spa"}, {"Five", "jpn"}});
  EXPECT_EQ(test_support::ReadFile(output), std::string(expected.begin(), expected.end()));
}

TEST(ChapterLanguagesTest, AFileWithoutChaptersIsLeftAlone) {
  test_support::ScratchDirectory work;
  const std::string output = work / "plain.bin";
  std::ofstream(output) << "not a Matroska file";
  EXPECT_TRUE(PatchChapterLanguages(output, {{"One", "ger", 0}}));
  EXPECT_EQ(test_support::ReadFile(output), "not a Matroska file");
  EXPECT_FALSE(PatchChapterLanguages(work / "missing.mkv", {{"One", "ger", 0}}));
}

}  // namespace
}  // namespace quorvex::engine
