#include "cli/command_line_splitter.h"

namespace quorvex {
namespace {

class LineCursor {
 public:
  LineCursor(std::string_view line, bool (*isLeadByte)(unsigned char)) : line_(line), isLeadByte_(isLeadByte) {
    // The line ends at its first zero byte, as a C string does.
    const size_t end = line_.find('\0');
    if (end != std::string_view::npos) line_ = line_.substr(0, end);
  }

  bool AtEnd() const { return pos_ >= line_.size(); }
  unsigned char Peek(size_t ahead = 0) const {
    return pos_ + ahead < line_.size() ? static_cast<unsigned char>(line_[pos_ + ahead]) : 0;
  }
  void Skip(size_t count) { pos_ += count; }
  // Appends one whole character (one or two bytes) to `out` and steps past it.
  void TakeCharacter(std::string& out) {
    size_t length = 1;
    if (isLeadByte_ != nullptr && isLeadByte_(Peek()) && Peek(1) != 0) length = 2;
    out.append(line_.substr(pos_, length));
    pos_ += length;
  }

 private:
  std::string_view line_;
  bool (*isLeadByte_)(unsigned char);
  size_t pos_ = 0;
};

bool IsSeparator(unsigned char c) { return c >= 1 && c <= ' '; }

// Reads the next argument; empty when the line holds no further one.
std::string NextArgument(LineCursor& cursor) {
  for (;;) {
    while (IsSeparator(cursor.Peek())) cursor.Skip(1);
    if (cursor.Peek() == '"' && cursor.Peek(1) == '"') {
      cursor.Skip(2);
      continue;
    }
    break;
  }
  std::string argument;
  while (cursor.Peek() > ' ') {
    if (cursor.Peek() == '"') {
      cursor.Skip(1);
      while (!cursor.AtEnd() && cursor.Peek() != '"') cursor.TakeCharacter(argument);
      if (!cursor.AtEnd()) cursor.Skip(1);
    } else {
      cursor.TakeCharacter(argument);
    }
  }
  return argument;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine, bool (*isLeadByte)(unsigned char)) {
  LineCursor cursor(commandLine, isLeadByte);
  NextArgument(cursor);  // the program's own name
  std::vector<std::string> arguments;
  for (std::string argument = NextArgument(cursor); !argument.empty(); argument = NextArgument(cursor)) {
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

}  // namespace quorvex
