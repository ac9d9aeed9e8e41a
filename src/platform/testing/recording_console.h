#ifndef QUORVEX_PLATFORM_TESTING_RECORDING_CONSOLE_H_
#define QUORVEX_PLATFORM_TESTING_RECORDING_CONSOLE_H_

#include <string>
#include <vector>

#include "platform/console.h"

namespace quorvex {

// A console whose lines tests can read back.
class RecordingConsole {
 public:
  RecordingConsole() : console_(sink_, "\n") {}
  Console& console() { return console_; }
  std::vector<std::string> Lines() {
    console_.Flush();
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = sink_.text.find('\n', start)) != std::string::npos; start = end + 1) {
      lines.push_back(sink_.text.substr(start, end - start));
    }
    return lines;
  }

 private:
  struct Sink : OutputSink {
    bool Write(const char* data, size_t size) override {
      text.append(data, size);
      return true;
    }
    bool IsTerminal() const override { return true; }
    std::string text;
  };
  Sink sink_;
  Console console_;
};

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_TESTING_RECORDING_CONSOLE_H_
