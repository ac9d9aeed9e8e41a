#include "graph/engine/chapter_languages.h"

#include <fstream>
#include <string>
#include <system_error>

namespace quorvex::engine {
namespace {

class FileByteSource final : public ByteSource {
 public:
  FileByteSource(std::fstream& file, uint64_t size) : file_(file), size_(size) {}
  uint64_t size() const override { return size_; }
  bool Read(uint64_t offset, size_t count, uint8_t* out) const override {
    if (offset > size_ || count > size_ - offset) return false;
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(offset));
    file_.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count));
    return static_cast<size_t>(file_.gcount()) == count;
  }

 private:
  std::fstream& file_;
  uint64_t size_;
};

bool IsLanguageCode(const std::string& code) {
  if (code.size() != 3) return false;
  for (const char c : code) {
    if (c < 'a' || c > 'z') return false;
  }
  return true;
}

}  // namespace

std::vector<ChapterLabel> ReadChapterLabels(const std::filesystem::path& file) {
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(file, error);
  if (error) return {};
  std::fstream stream(file, std::ios::in | std::ios::binary);
  if (!stream) return {};
  return ReadMatroskaChapters(FileByteSource(stream, size));
}

bool PatchChapterLanguages(const std::filesystem::path& output, const std::vector<ChapterLabel>& source) {
  if (source.empty()) return true;
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(output, error);
  if (error) return false;
  std::fstream stream(output, std::ios::in | std::ios::out | std::ios::binary);
  if (!stream) return false;
  const FileByteSource file(stream, size);
  size_t next = 0;
  for (const ChapterLabel& written : ReadMatroskaChapters(file)) {
    size_t match = next;
    while (match < source.size() && source[match].name != written.name) ++match;
    if (match == source.size()) continue;  // no source chapter by that name
    next = match + 1;
    const std::string& language = source[match].language;
    if (written.language != "und" || written.languageOffset == 0 || language == "und" || !IsLanguageCode(language)) {
      continue;
    }
    uint8_t current[3];
    if (!file.Read(written.languageOffset, sizeof current, current) || std::string(current, current + 3) != "und") {
      continue;
    }
    stream.clear();
    stream.seekp(static_cast<std::streamoff>(written.languageOffset));
    stream.write(language.data(), 3);
    if (!stream) return false;
  }
  stream.flush();
  return static_cast<bool>(stream);
}

}  // namespace quorvex::engine
