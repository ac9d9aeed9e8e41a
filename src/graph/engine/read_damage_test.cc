#include "graph/engine/read_damage.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvex::engine {
namespace {

std::string Filler(size_t count) { return std::string(count, '\x11'); }

// `count` transport packets of `size` bytes, each starting with the sync byte.
std::string TransportPackets(size_t count, size_t size, size_t syncAt = 0) {
  std::string packets;
  for (size_t i = 0; i < count; ++i) {
    std::string packet = Filler(size);
    packet[syncAt] = 0x47;
    packets += packet;
  }
  return packets;
}

TEST(FindResyncPointTest, FindsWhereEachLayoutsReaderCouldStartAgain) {
  const size_t npos = std::string_view::npos;
  struct Case {
    const char* name;
    std::string bytes;
    SourceLayout layout;
    size_t expected;
  };
  const Case cases[] = {
      {"Matroska cluster", Filler(100) + "\x1F\x43\xB6\x75" + Filler(10), SourceLayout::kMatroska, 100},
      {"Matroska without cluster", Filler(100) + "\x1F\x43\xB6" + Filler(10), SourceLayout::kMatroska, npos},
      {"transport packets", Filler(33) + TransportPackets(5, 188), SourceLayout::kTransportStream, 33},
      // Blu-ray packets: a 4-byte time code before each sync byte.
      {"Blu-ray packets", Filler(7) + TransportPackets(5, 192, 4), SourceLayout::kTransportStream, 11},
      {"a lone sync byte", Filler(50) + "\x47" + Filler(1000), SourceLayout::kTransportStream, npos},
      {"too few packets", TransportPackets(4, 188) + Filler(10), SourceLayout::kTransportStream, npos},
      {"program stream pack", Filler(9) + std::string("\x00\x00\x01\xBA", 4) + Filler(9), SourceLayout::kProgramStream,
       9},
      {"other formats have no marks", Filler(9) + "\x1F\x43\xB6\x75", SourceLayout::kOther, npos},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FindResyncPoint(c.bytes, c.layout), c.expected);
  }
}

}  // namespace
}  // namespace quorvex::engine
