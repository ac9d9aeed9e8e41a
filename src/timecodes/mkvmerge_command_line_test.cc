#include "timecodes/mkvmerge_command_line.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

RetimeInvocation Movie(uint32_t track) {
  return {"C:\\Program Files\\MKVToolNix\\mkvmerge.exe", "D:\\films\\movie.mkv", "D:\\films\\movie.24p.txt",
          "D:\\films\\movie.old.mkv", track};
}

TEST(MkvmergeCommandLineTest, WindowsLineIsTheTenPiecesWithTheVideoTrack) {
  EXPECT_EQ(RetimeCommandLine(Movie(1)),
            "\"C:\\Program Files\\MKVToolNix\\mkvmerge.exe\" -o \"D:\\films\\movie.mkv\" --timecodes "
            "1:\"D:\\films\\movie.24p.txt\" -d 1 \"D:\\films\\movie.old.mkv\"");
  EXPECT_EQ(RetimeCommandLine(Movie(0)),
            "\"C:\\Program Files\\MKVToolNix\\mkvmerge.exe\" -o \"D:\\films\\movie.mkv\" --timecodes "
            "0:\"D:\\films\\movie.24p.txt\" -d 0 \"D:\\films\\movie.old.mkv\"");
}

TEST(MkvmergeCommandLineTest, WindowsLineKeepsNamesAsTheyStand) {
  // Nothing is escaped: a name is put between quotes byte for byte.
  const RetimeInvocation run{"m", "a b\\c.mkv", "-t.txt", "@in \xe9.mkv", 7};
  EXPECT_EQ(RetimeCommandLine(run), "\"m\" -o \"a b\\c.mkv\" --timecodes 7:\"-t.txt\" -d 7 \"@in \xe9.mkv\"");
}

TEST(MkvmergeCommandLineTest, ArgumentsCarryEveryNameAsOneElement) {
  const RetimeInvocation run{"/usr/bin/mkvmerge", "my \"film\".mkv", "my \"film\".24p.txt", "caf\xc3\xa9 old.mkv", 0};
  EXPECT_EQ(RetimeArguments(run),
            (std::vector<std::string>{"/usr/bin/mkvmerge", "-o", "my \"film\".mkv", "--timecodes",
                                      "0:my \"film\".24p.txt", "-d", "0", "caf\xc3\xa9 old.mkv"}));
}

TEST(MkvmergeCommandLineTest, CommandCarriesBothForms) {
  const ProcessCommand command = RetimeCommand(Movie(3));
  EXPECT_EQ(command.arguments, RetimeArguments(Movie(3)));
  EXPECT_EQ(command.commandLine, RetimeCommandLine(Movie(3)));
}

TEST(MkvmergeCommandLineTest, NamesThatMkvmergeWouldReadAsSyntaxAreShielded) {
  const RetimeInvocation run{"mkvmerge", "-out.mkv", "-out.24p.txt", "@in.mkv", 0};
  EXPECT_EQ(RetimeArguments(run), (std::vector<std::string>{"mkvmerge", "-o", "./-out.mkv", "--timecodes",
                                                            "0:-out.24p.txt", "-d", "0", "./@in.mkv"}));
  struct Case {
    const char* name;
    const char* argument;
  };
  const Case cases[] = {{"-d", "./-d"},         {"@opts.json", "./@opts.json"}, {"+a.mkv", "./+a.mkv"},
                        {"=a.mkv", "./=a.mkv"}, {"(a.mkv", "./(a.mkv"},         {")", "./)"},
                        {"a-b.mkv", "a-b.mkv"}, {"/abs/-x.mkv", "/abs/-x.mkv"}, {"", ""},
                        {" -x.mkv", " -x.mkv"}};
  for (const Case& c : cases) EXPECT_EQ(ShieldFileArgument(c.name), c.argument) << c.name;
}

TEST(MkvmergeCommandLineTest, IdentifyAsksForEnglishTrackLines) {
  const ProcessCommand command = IdentifyCommand("/usr/bin/mkvmerge", "@in put.mkv");
  EXPECT_EQ(command.arguments, (std::vector<std::string>{"/usr/bin/mkvmerge", "--ui-language", "en_US",
                                                         "--identify", "./@in put.mkv"}));
  EXPECT_EQ(IdentifyCommand("C:\\m.exe", "a b.mkv").commandLine,
            "\"C:\\m.exe\" --ui-language en_US --identify \"a b.mkv\"");
}

}  // namespace
}  // namespace quorvex
