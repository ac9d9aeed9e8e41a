#ifndef QUORVEX_PLATFORM_CONSOLE_H_
#define QUORVEX_PLATFORM_CONSOLE_H_

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace quorvex {

// Where console bytes finally go: standard output, or a test's buffer.
class OutputSink {
 public:
  virtual ~OutputSink() = default;
  // Writes all bytes; false on any failure.
  virtual bool Write(const char* data, size_t size) = 0;
  // A terminal sees each line at once; a file or pipe only when the buffer fills.
  virtual bool IsTerminal() const = 0;
};

// Whole lines of 8-bit text through a 128-byte buffer, written as their bytes.
// A failed write throws AbnormalTermination: the program cannot report
// anything sensible once its only channel is gone.
class Console {
 public:
  Console(OutputSink& sink, std::string_view lineEnd);
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  void WriteLine(std::string_view line);
  // Writes out what is buffered; throws on failure.
  void Flush();
  // Writes out what is buffered and ignores failures; for the exit paths.
  void FlushQuietly() noexcept;

 private:
  void Append(std::string_view bytes);

  OutputSink& sink_;
  std::string lineEnd_;
  bool lineBuffered_;
  std::array<char, 128> buffer_{};
  size_t used_ = 0;
};

// The line end of the platform's text files and console: LF on POSIX, CR LF on Windows.
std::string_view NativeLineEnd();

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_CONSOLE_H_
