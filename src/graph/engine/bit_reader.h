#ifndef QUORVEX_GRAPH_ENGINE_BIT_READER_H_
#define QUORVEX_GRAPH_ENGINE_BIT_READER_H_

#include <cstddef>
#include <cstdint>
#include <span>

namespace quorvex::engine {

// Reads big-endian bit fields from a byte buffer. Reading past the end never
// touches memory outside the buffer: it yields zeros and marks the reader
// overrun, so a parser checks once, after a run of fields.
class BitReader {
 public:
  explicit BitReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  // Up to 32 bits.
  uint32_t Read(int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 1) | ReadBit();
    return value;
  }

  uint32_t ReadBit() {
    if (position_ >= bytes_.size() * 8) {
      overrun_ = true;
      return 0;
    }
    const uint32_t bit = (bytes_[position_ / 8] >> (7 - position_ % 8)) & 1u;
    ++position_;
    return bit;
  }

  void Skip(size_t count) {
    if (count > bitsLeft()) {
      overrun_ = true;
      position_ = bytes_.size() * 8;
      return;
    }
    position_ += count;
  }

  void AlignToByte() { Skip((8 - position_ % 8) % 8); }

  size_t position() const { return position_; }
  size_t bitsLeft() const { return bytes_.size() * 8 - position_; }
  bool overrun() const { return overrun_; }

 private:
  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
  bool overrun_ = false;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_BIT_READER_H_
