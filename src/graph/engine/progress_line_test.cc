#include "graph/engine/progress_line.h"

#include <gtest/gtest.h>

namespace quorvex::engine {
namespace {

class RecordingTerminal final : public ProgressTerminal {
 public:
  explicit RecordingTerminal(std::string& text) : text_(text) {}
  void Write(std::string_view text) override { text_.append(text); }

 private:
  std::string& text_;
};

TEST(ProgressLineTest, RedrawsOnlyWhenThePercentageChangesAndWipesAtTheEnd) {
  std::string shown;
  {
    ProgressLine line(std::make_unique<RecordingTerminal>(shown));
    line.Update(0, 1000);
    line.Update(5, 1000);  // still 0%
    line.Update(420, 1000);
    line.Update(2000, 1000);  // a source that grew while read stays at 100%
  }
  const std::string blank = "\r" + std::string(ProgressLine::Text(100).size(), ' ') + "\r";
  EXPECT_EQ(shown, "\rProgress: 0%\rProgress: 42%\rProgress: 100%" + blank);
}

TEST(ProgressLineTest, SilentWithoutATerminalOrASize) {
  std::string shown;
  ProgressLine none(nullptr);
  none.Update(1, 2);
  ProgressLine empty(std::make_unique<RecordingTerminal>(shown));
  empty.Update(0, 0);
  empty.Clear();
  EXPECT_EQ(shown, "");
}

}  // namespace
}  // namespace quorvex::engine
