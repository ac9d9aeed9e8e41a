#include "graph/engine/mpeg4_frame_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace quorvex::engine {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Vop(VopType type, size_t payload = 40) {
  Bytes vop = {0, 0, 1, 0xB6, static_cast<uint8_t>(static_cast<int>(type) << 6)};
  vop.resize(vop.size() + payload, 0x55);
  return vop;
}

Bytes Join(const Bytes& a, const Bytes& b) {
  Bytes joined = a;
  joined.insert(joined.end(), b.begin(), b.end());
  return joined;
}

const VopType I = VopType::kIntra;
const VopType P = VopType::kPredicted;
const VopType B = VopType::kBidirectional;

TEST(Mpeg4FrameOrderTest, FindsEveryPictureAndItsType) {
  const Bytes header = {0, 0, 1, 0xB0, 0xF5, 0, 0, 1, 0xB5, 0x09};  // sequence and object headers
  EXPECT_EQ(VopTypes(Join(header, Vop(I))), (std::vector<VopType>{I}));
  EXPECT_EQ(VopTypes(Join(Vop(P), Vop(B))), (std::vector<VopType>{P, B}));
  EXPECT_EQ(VopTypes(Join(Vop(VopType::kSprite), Vop(I))), (std::vector<VopType>{VopType::kSprite, I}));
  // A start code cut off by the packet's end has no type to read.
  EXPECT_TRUE(VopTypes(Bytes{0, 0, 1, 0xB6}).empty());
  EXPECT_TRUE(VopTypes(Bytes{}).empty());
}

std::vector<int64_t> Keys(const std::vector<Bytes>& packets) {
  Mpeg4FrameOrder order;
  std::vector<int64_t> keys;
  for (const Bytes& packet : packets) keys.push_back(order.Next(packet));
  return keys;
}

// The display ranks of the keys: 0 for the frame shown first.
std::vector<size_t> Ranks(const std::vector<int64_t>& keys) {
  std::vector<size_t> ranks;
  for (int64_t key : keys)
    ranks.push_back(static_cast<size_t>(std::count_if(keys.begin(), keys.end(), [&](int64_t k) { return k < key; })));
  return ranks;
}

TEST(Mpeg4FrameOrderTest, BFramesAreShownBeforeTheReferenceDecodedAheadOfThem) {
  // Decoding order I0 P3 B1 B2 P6 B4 B5.
  EXPECT_EQ(Ranks(Keys({Vop(I), Vop(P), Vop(B), Vop(B), Vop(P), Vop(B), Vop(B)})),
            (std::vector<size_t>{0, 3, 1, 2, 6, 4, 5}));
}

TEST(Mpeg4FrameOrderTest, PackedStreamIsOrderedAsItWillBeUnpacked) {
  const Bytes placeholder = Vop(P, 2);
  const std::vector<int64_t> unpacked = Keys({Vop(I), Vop(P), Vop(B), Vop(B), Vop(P), Vop(B), Vop(B)});
  // DivX/Xvid packing: the reference frame carries the first B-frame, the
  // second B-frame stands in the first's slot, a placeholder in the second's.
  EXPECT_EQ(Keys({Vop(I), Join(Vop(P), Vop(B)), Vop(B), placeholder, Join(Vop(P), Vop(B)), Vop(B), placeholder}),
            unpacked);
  // With one B-frame between references.
  EXPECT_EQ(Ranks(Keys({Vop(I), Join(Vop(P), Vop(B)), placeholder, Join(Vop(P), Vop(B)), placeholder})),
            (std::vector<size_t>{0, 2, 1, 4, 3}));
}

}  // namespace
}  // namespace quorvex::engine
