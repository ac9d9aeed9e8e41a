#include "platform/console.h"

#include <algorithm>

#include "platform/abnormal_termination.h"

namespace quorvex {

Console::Console(OutputSink& sink, std::string_view lineEnd)
    : sink_(sink), lineEnd_(lineEnd), lineBuffered_(sink.IsTerminal()) {}

Console::~Console() { FlushQuietly(); }

void Console::WriteLine(std::string_view line) {
  Append(line);
  Append(lineEnd_);
  if (lineBuffered_) Flush();
}

void Console::Flush() {
  if (used_ == 0) return;
  const size_t size = used_;
  used_ = 0;  // a failed write must not be retried at exit
  if (!sink_.Write(buffer_.data(), size)) {
    throw AbnormalTermination("EInOutError", "Writing to standard output failed.");
  }
}

void Console::FlushQuietly() noexcept {
  if (used_ == 0) return;
  const size_t size = used_;
  used_ = 0;
  sink_.Write(buffer_.data(), size);
}

void Console::Append(std::string_view bytes) {
  while (!bytes.empty()) {
    if (used_ == buffer_.size()) Flush();
    const size_t take = std::min(bytes.size(), buffer_.size() - used_);
    std::copy_n(bytes.data(), take, buffer_.data() + used_);
    used_ += take;
    bytes.remove_prefix(take);
  }
}

}  // namespace quorvex
