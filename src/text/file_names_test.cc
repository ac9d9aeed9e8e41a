#include "text/file_names.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

struct NameCase {
  std::string name, extension, replaced, directory;
};

TEST(WindowsFileNamesTest, SplitsOnDotBackslashAndColon) {
  const NameCase cases[] = {
      {"C:\\films.hd\\file", "", "C:\\films.hd\\file.mkv", "C:\\films.hd\\"},
      {"movie.", ".", "movie.mkv", ""},
      {"movie", "", "movie.mkv", ""},
      {"C:x", "", "C:x.mkv", "C:"},
      {"C:.x", ".x", "C:.mkv", "C:"},
      {".mkv", ".mkv", ".mkv", ""},
      {"a.b.mkv", ".mkv", "a.b.mkv", ""},
      {"C:/films.hd/file", ".hd/file", "C:/films.mkv", "C:"},
      {"C:\\dir\\", "", "C:\\dir\\.mkv", "C:\\dir\\"},
      {"", "", ".mkv", ""},
  };
  const FileNameRules& rules = WindowsFileNameRules();
  for (const NameCase& c : cases) {
    EXPECT_EQ(ExtensionOf(c.name, rules), c.extension) << c.name;
    EXPECT_EQ(ReplaceExtension(c.name, ".mkv", rules), c.replaced) << c.name;
    EXPECT_EQ(DirectoryOf(c.name, rules), c.directory) << c.name;
  }
}

TEST(PosixFileNamesTest, SplitsOnDotAndSlashOnly) {
  const NameCase cases[] = {
      {"/media/films.hd/movie", "", "/media/films.hd/movie.mkv", "/media/films.hd/"},
      {"/media/films.hd/movie.m2ts", ".m2ts", "/media/films.hd/movie.mkv", "/media/films.hd/"},
      {"back\\slash.ts", ".ts", "back\\slash.mkv", ""},
      {"C:movie", "", "C:movie.mkv", ""},
      {"dir.d/", "", "dir.d/.mkv", "dir.d/"},
      {"movie.", ".", "movie.mkv", ""},
      {"", "", ".mkv", ""},
  };
  const FileNameRules& rules = PosixFileNameRules();
  for (const NameCase& c : cases) {
    EXPECT_EQ(ExtensionOf(c.name, rules), c.extension) << c.name;
    EXPECT_EQ(ReplaceExtension(c.name, ".mkv", rules), c.replaced) << c.name;
    EXPECT_EQ(DirectoryOf(c.name, rules), c.directory) << c.name;
  }
}

TEST(FileNamesTest, NewExtensionIsAppendedUnchanged) {
  EXPECT_EQ(ReplaceExtension("x.new.mkv", ".old.mkv", PosixFileNameRules()), "x.new.old.mkv");
  EXPECT_EQ(ReplaceExtension("x.new.mkv", ".24p.txt", WindowsFileNameRules()), "x.new.24p.txt");
}

TEST(FileNamesTest, ZeroBytesAreNeverDelimiters) {
  const std::string name("a.b\0c", 5);
  EXPECT_EQ(ExtensionOf(name, PosixFileNameRules()), std::string(".b\0c", 4));
}

// Shift-JIS lead-byte ranges.
bool IsShiftJisLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

TEST(WindowsFileNamesTest, SecondByteOfDoubleByteCharacterIsNoDelimiter) {
  const FileNameRules rules = WindowsFileNameRules(IsShiftJisLeadByte);
  // 0x95 0x5C is one character whose second byte looks like a backslash.
  const std::string name = "C:\\dir\\\x95\x5C";
  EXPECT_EQ(DirectoryOf(name, rules), "C:\\dir\\");
  EXPECT_EQ(DirectoryOf(name, WindowsFileNameRules()), name) << "single-byte rules take it as a backslash";
  // An even run of lead bytes before the backslash: the backslash is a character of its own.
  EXPECT_EQ(DirectoryOf("C:\\\x95\x95\\x", rules), "C:\\\x95\x95\\");
  // A dot that is a second byte does not start an extension.
  EXPECT_EQ(ExtensionOf("a.txt\x81.", rules), ".txt\x81.");
  EXPECT_EQ(ExtensionOf("ab\x81.", rules), "");
}

TEST(TrimBlanksTest, DropsControlBytesAndSpacesAtBothEnds) {
  EXPECT_EQ(TrimBlanks(std::string(" \t\r\n\0inner text\0 \n", 19)), "inner text");
  EXPECT_EQ(TrimBlanks("    "), "");
  EXPECT_EQ(TrimBlanks("\xA0name\x7F"), "\xA0name\x7F");
  EXPECT_EQ(TrimBlanks(""), "");
}

}  // namespace
}  // namespace quorvex
