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
  std::string blank(1, '\r');
  blank.append(Text(100).size(), ' ');
  blank += '\r';
  terminal_->Write(blank);
  shown_ = -1;
}

}  // namespace quorvex::engine
