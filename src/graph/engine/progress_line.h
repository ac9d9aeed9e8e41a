#ifndef QUORVEX_GRAPH_ENGINE_PROGRESS_LINE_H_
#define QUORVEX_GRAPH_ENGINE_PROGRESS_LINE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/progress_terminal.h"

namespace quorvex::engine {

// One self-updating line showing how much of the source has been read.
// Standard output keeps its lines to itself; the line is wiped at the end so
// the next line on the terminal starts clean.
class ProgressLine {
 public:
  explicit ProgressLine(std::unique_ptr<ProgressTerminal> terminal) : terminal_(std::move(terminal)) {}
  ~ProgressLine() { Clear(); }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // Redraws the line when the whole percentage changed.
  void Update(int64_t done, int64_t total);
  void Clear();

  static std::string Text(int percent);

 private:
  std::unique_ptr<ProgressTerminal> terminal_;
  int shown_ = -1;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_PROGRESS_LINE_H_
