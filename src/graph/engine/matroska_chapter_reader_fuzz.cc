// Reads the chapters of any bytes as a Matroska file.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "graph/engine/matroska_chapter_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly the input's length, so a read past it shows.
  const std::vector<uint8_t> file(data, data + size);
  const quorvex::engine::MemoryByteSource source(file.data(), file.size());
  for (const quorvex::engine::ChapterLabel& label : quorvex::engine::ReadMatroskaChapters(source)) {
    // A language's position must lie inside the file.
    if (label.languageOffset != 0 && label.languageOffset + label.language.size() > size) __builtin_trap();
  }
  return 0;
}
