#include "platform/console.h"

#include <gtest/gtest.h>

#include "platform/abnormal_termination.h"

namespace quorvex {
namespace {

class RecordingSink : public OutputSink {
 public:
  explicit RecordingSink(bool terminal, size_t failAfterWrites = SIZE_MAX)
      : terminal_(terminal), failAfterWrites_(failAfterWrites) {}
  bool Write(const char* data, size_t size) override {
    if (writes.size() >= failAfterWrites_) return false;
    writes.emplace_back(data, size);
    return true;
  }
  bool IsTerminal() const override { return terminal_; }
  std::string All() const {
    std::string all;
    for (const std::string& w : writes) all += w;
    return all;
  }
  std::vector<std::string> writes;

 private:
  bool terminal_;
  size_t failAfterWrites_;
};

TEST(ConsoleTest, TerminalSeesEveryLineAtOnce) {
  RecordingSink sink(true);
  Console console(sink, "\r\n");
  console.WriteLine("first");
  console.WriteLine("");
  ASSERT_EQ(sink.writes.size(), 2u);
  EXPECT_EQ(sink.writes[0], "first\r\n");
  EXPECT_EQ(sink.writes[1], "\r\n");
}

TEST(ConsoleTest, FileOrPipeIsWrittenInWholeBuffersAndAtTheEnd) {
  RecordingSink sink(false);
  {
    Console console(sink, "\n");
    const std::string line(50, 'x');  // 51 bytes with its end
    console.WriteLine(line);
    console.WriteLine(line);
    EXPECT_TRUE(sink.writes.empty()) << "102 bytes fit the buffer";
    console.WriteLine(line);
    ASSERT_EQ(sink.writes.size(), 1u);
    EXPECT_EQ(sink.writes[0].size(), 128u);
  }
  EXPECT_EQ(sink.All(), std::string(50, 'x') + "\n" + std::string(50, 'x') + "\n" + std::string(50, 'x') + "\n");
}

TEST(ConsoleTest, BytesAreWrittenAsTheyAre) {
  RecordingSink sink(true);
  Console console(sink, "\n");
  const std::string bytes("\xE4\x00\xFF\x0D", 4);
  console.WriteLine(bytes);
  EXPECT_EQ(sink.All(), bytes + "\n");
}

TEST(ConsoleTest, FailedWriteIsAbnormalTermination) {
  RecordingSink sink(true, 0);
  Console console(sink, "\n");
  try {
    console.WriteLine("lost");
    FAIL() << "a failed write must not pass silently";
  } catch (const AbnormalTermination& error) {
    const std::string report = DescribeAbnormalTermination(error, "quorvex");
    EXPECT_NE(report.find(error.kind()), std::string::npos);
    EXPECT_NE(report.find("quorvex"), std::string::npos);
    EXPECT_NE(report.find("Writing to standard output failed."), std::string::npos);
    EXPECT_EQ(report.find('\n'), std::string::npos) << "one line";
  }
}

}  // namespace
}  // namespace quorvex
