#ifndef QUORVEX_GRAPH_ENGINE_MATROSKA_CHAPTER_READER_H_
#define QUORVEX_GRAPH_ENGINE_MATROSKA_CHAPTER_READER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quorvex::engine {

// Bytes of a file at any position, so a chapter list at the end of a large
// file is found without reading what lies between.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t size() const = 0;
  // Exactly `count` bytes at `offset`, or false.
  virtual bool Read(uint64_t offset, size_t count, uint8_t* out) const = 0;
};

// A buffer in memory as a byte source.
class MemoryByteSource final : public ByteSource {
 public:
  MemoryByteSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint64_t size() const override { return size_; }
  bool Read(uint64_t offset, size_t count, uint8_t* out) const override;

 private:
  const uint8_t* data_;
  size_t size_;
};

// One chapter as its first display names it.
struct ChapterLabel {
  std::string name;      // ChapString, empty when the display has none
  std::string language;  // ChapLanguage; Matroska's default "eng" when absent
  // Where the language's bytes are in the file, to patch them in place;
  // 0 when the display carries no ChapLanguage element.
  uint64_t languageOffset = 0;
};

// The chapters of the first Chapters element of a Matroska file, every
// edition's top-level atoms in file order. The Chapters element is found
// among the Segment's top-level elements before the first Cluster, or
// through the SeekHead. Every length is checked against its parent and the
// file; anything malformed ends the reading with what was read so far, and
// a file without chapters gives none.
std::vector<ChapterLabel> ReadMatroskaChapters(const ByteSource& file);

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_MATROSKA_CHAPTER_READER_H_
