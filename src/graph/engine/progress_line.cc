#include "graph/engine/progress_line.h"

#include <algorithm>

namespace quorvex::engine {

std::string ProgressLine::Text(int percent) { return "\rProgress: " + std::to_string(percent) + "%"; }

void ProgressLine::Update(int64_t done, int64_t total) {
  if (terminal_ == nullptr || total <= 0) return;
  const int percent = static_cast<int>(std::clamp<int64_t>(done * 100 / total, 0, 100));
  if (percent == shown_) return;
  shown_ = percent;
  terminal_->Write(Text(percent));
}

void ProgressLine::Clear() {
  if (terminal_ == nullptr || shown_ < 0) return;
  terminal_->Write("\r" + std::string(Text(100).size(), ' ') + "\r");
  shown_ = -1;
}

}  // namespace quorvex::engine
