#ifndef QUORVEX_PLATFORM_TESTING_RECORDING_CONSOLE_H_
#define QUORVEX_PLATFORM_TESTING_RECORDING_CONSOLE_H_

#include <string>
#include <vector>

#include "platform/console.h"

namespace quorvex {

// Keeps every byte written, as a terminal would see it: line by line.
class RecordingOutput final : public OutputSink {
 public:
  bool Write(const char* data, size_t size) override {
    bytes.append(data, size);
    return true;
  }
  bool IsTerminal() const override { return true; }

  std::string bytes;
};

// A console whose lines the test reads back.
class RecordingConsole {
 public:
  Console& console() { return console_; }
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = output_.bytes.find('\n', start)) != std::string::npos; start = end + 1) {
      lines.push_back(output_.bytes.substr(start, end - start));
    }
    return lines;
  }

 private:
  RecordingOutput output_;  // declared first: the console writes out into it when it goes
  Console console_{output_, "\n"};
};

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_TESTING_RECORDING_CONSOLE_H_
