#include "graph/engine/matroska_chapter_reader.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace quorvex::engine {
namespace {

constexpr uint32_t kEbmlHeader = 0x1A45DFA3;
constexpr uint32_t kSegment = 0x18538067;
constexpr uint32_t kSeekHead = 0x114D9B74;
constexpr uint32_t kSeek = 0x4DBB;
constexpr uint32_t kSeekId = 0x53AB;
constexpr uint32_t kSeekPosition = 0x53AC;
constexpr uint32_t kCluster = 0x1F43B675;
constexpr uint32_t kChapters = 0x1043A770;
constexpr uint32_t kEditionEntry = 0x45B9;
constexpr uint32_t kChapterAtom = 0xB6;
constexpr uint32_t kChapterDisplay = 0x80;
constexpr uint32_t kChapString = 0x85;
constexpr uint32_t kChapLanguage = 0x437C;

// Chapter lists and seek indexes are small; anything larger is damage, and
// is not read into memory.
constexpr uint64_t kMaxChaptersSize = 16 << 20;
constexpr uint64_t kMaxSeekHeadSize = 1 << 20;
// Top-level elements looked at before the first Cluster: a real file has a
// handful.
constexpr int kMaxTopLevelElements = 4096;

struct Element {
  uint32_t id = 0;
  uint64_t dataStart = 0;
  uint64_t dataSize = 0;  // up to the parent's end when the size is unknown
  bool unknownSize = false;
  uint64_t end() const { return dataStart + dataSize; }
};

// The element header at `offset`, inside a parent ending at `end`; its data
// is checked to fit the parent, or cut to it when `cutToParent` is set.
std::optional<Element> ReadElement(const ByteSource& file, uint64_t offset, uint64_t end, bool cutToParent = false) {
  if (offset >= end) return std::nullopt;
  uint8_t bytes[12] = {};
  const size_t available = static_cast<size_t>(std::min<uint64_t>(sizeof bytes, end - offset));
  if (!file.Read(offset, available, bytes)) return std::nullopt;

  // An ID is 1 to 4 bytes and keeps its length marker.
  const int idLength = bytes[0] >= 0x80 ? 1 : bytes[0] >= 0x40 ? 2 : bytes[0] >= 0x20 ? 3 : bytes[0] >= 0x10 ? 4 : 0;
  if (idLength == 0 || static_cast<size_t>(idLength) >= available) return std::nullopt;
  Element element;
  for (int i = 0; i < idLength; ++i) element.id = (element.id << 8) | bytes[i];

  // A size is 1 to 8 bytes without its marker; all ones means unknown.
  const uint8_t first = bytes[idLength];
  int sizeLength = 1;
  while (sizeLength <= 8 && (first & (0x80 >> (sizeLength - 1))) == 0) ++sizeLength;
  if (sizeLength > 8 || static_cast<size_t>(idLength + sizeLength) > available) return std::nullopt;
  uint64_t size = first & (0xFFu >> sizeLength);
  bool allOnes = size == (0xFFu >> sizeLength);
  for (int i = 1; i < sizeLength; ++i) {
    size = (size << 8) | bytes[idLength + i];
    allOnes = allOnes && bytes[idLength + i] == 0xFF;
  }
  element.dataStart = offset + static_cast<uint64_t>(idLength + sizeLength);
  element.unknownSize = allOnes;
  if (allOnes || size > end - element.dataStart) {
    if (!allOnes && !cutToParent) return std::nullopt;
    size = end - element.dataStart;
  }
  element.dataSize = size;
  return element;
}

// The children of a parent, one after another; stops at the first that
// does not fit.
template <typename Visit>
void ForEachChild(const ByteSource& file, const Element& parent, Visit visit) {
  uint64_t offset = parent.dataStart;
  while (offset < parent.end()) {
    const std::optional<Element> child = ReadElement(file, offset, parent.end());
    if (!child || child->unknownSize) return;
    if (!visit(*child)) return;
    offset = child->end();
  }
}

std::optional<uint64_t> ReadUnsigned(const ByteSource& file, const Element& element) {
  if (element.dataSize == 0 || element.dataSize > 8) return std::nullopt;
  uint8_t bytes[8];
  if (!file.Read(element.dataStart, static_cast<size_t>(element.dataSize), bytes)) return std::nullopt;
  uint64_t value = 0;
  for (uint64_t i = 0; i < element.dataSize; ++i) value = (value << 8) | bytes[i];
  return value;
}

// A string element without the zero bytes that may pad it.
std::string ReadString(const ByteSource& file, const Element& element) {
  std::string text(static_cast<size_t>(element.dataSize), '\0');
  if (!text.empty() && !file.Read(element.dataStart, text.size(), reinterpret_cast<uint8_t*>(text.data()))) return {};
  text.resize(std::strlen(text.c_str()));
  return text;
}

ChapterLabel ReadAtom(const ByteSource& chapters, uint64_t base, const Element& atom) {
  ChapterLabel label;
  label.language = "eng";
  ForEachChild(chapters, atom, [&](const Element& display) {
    if (display.id != kChapterDisplay) return true;
    bool languageSeen = false;
    ForEachChild(chapters, display, [&](const Element& field) {
      if (field.id == kChapString) label.name = ReadString(chapters, field);
      if (field.id == kChapLanguage && !languageSeen) {
        label.language = ReadString(chapters, field);
        label.languageOffset = base + field.dataStart;
        languageSeen = true;
      }
      return true;
    });
    return false;  // the first display names the chapter
  });
  return label;
}

std::vector<ChapterLabel> ReadChaptersElement(const ByteSource& file, const Element& element) {
  if (element.unknownSize || element.dataSize > kMaxChaptersSize) return {};
  // Read whole, as it is small; positions inside are turned back into file
  // offsets by adding where it starts.
  std::vector<uint8_t> bytes(static_cast<size_t>(element.dataSize));
  if (!bytes.empty() && !file.Read(element.dataStart, bytes.size(), bytes.data())) return {};
  const MemoryByteSource chapters(bytes.data(), bytes.size());
  Element whole;
  whole.dataSize = bytes.size();
  std::vector<ChapterLabel> labels;
  ForEachChild(chapters, whole, [&](const Element& edition) {
    if (edition.id != kEditionEntry) return true;
    ForEachChild(chapters, edition, [&](const Element& atom) {
      if (atom.id == kChapterAtom) labels.push_back(ReadAtom(chapters, element.dataStart, atom));
      return true;
    });
    return true;
  });
  return labels;
}

// Where the SeekHead says the Chapters element is, relative to the
// Segment's data.
std::optional<uint64_t> ChaptersPosition(const ByteSource& file, const Element& seekHead) {
  std::optional<uint64_t> position;
  if (seekHead.dataSize > kMaxSeekHeadSize) return position;
  ForEachChild(file, seekHead, [&](const Element& seek) {
    if (seek.id != kSeek) return true;
    std::optional<uint64_t> id;
    std::optional<uint64_t> at;
    ForEachChild(file, seek, [&](const Element& field) {
      if (field.id == kSeekId) id = ReadUnsigned(file, field);
      if (field.id == kSeekPosition) at = ReadUnsigned(file, field);
      return true;
    });
    if (id == kChapters && at) position = at;
    return !position;
  });
  return position;
}

}  // namespace

bool MemoryByteSource::Read(uint64_t offset, size_t count, uint8_t* out) const {
  if (offset > size_ || count > size_ - offset) return false;
  if (count > 0) std::memcpy(out, data_ + offset, count);
  return true;
}

std::vector<ChapterLabel> ReadMatroskaChapters(const ByteSource& file) {
  const uint64_t fileEnd = file.size();
  const std::optional<Element> header = ReadElement(file, 0, fileEnd);
  if (!header || header->id != kEbmlHeader || header->unknownSize) return {};
  // A file cut short (a recording still being written, a partial copy)
  // keeps the chapters that come before the cut.
  const std::optional<Element> segment = ReadElement(file, header->end(), fileEnd, true);
  if (!segment || segment->id != kSegment) return {};

  std::optional<uint64_t> seekPosition;
  uint64_t offset = segment->dataStart;
  for (int looked = 0; looked < kMaxTopLevelElements && offset < segment->end(); ++looked) {
    const std::optional<Element> element = ReadElement(file, offset, segment->end());
    if (!element || element->id == kCluster) break;
    if (element->id == kChapters) return ReadChaptersElement(file, *element);
    if (element->unknownSize) break;
    if (element->id == kSeekHead && !seekPosition) seekPosition = ChaptersPosition(file, *element);
    offset = element->end();
  }
  if (!seekPosition || *seekPosition >= segment->dataSize) return {};
  const std::optional<Element> chapters = ReadElement(file, segment->dataStart + *seekPosition, segment->end());
  if (!chapters || chapters->id != kChapters) return {};
  return ReadChaptersElement(file, *chapters);
}

}  // namespace quorvex::engine
