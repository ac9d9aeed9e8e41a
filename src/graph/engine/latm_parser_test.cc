#include "graph/engine/latm_parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace quorvex::engine {
namespace {

class BitWriter {
 public:
  void Put(uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      if (count_ % 8 == 0) bytes_.push_back(0);
      bytes_.back() |= static_cast<uint8_t>(((value >> i) & 1u) << (7 - count_ % 8));
      ++count_;
    }
  }
  void PutLatmValue(uint32_t value) {
    Put(3, 2);  // four bytes follow
    Put(value, 32);
  }
  size_t bits() const { return count_; }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  size_t count_ = 0;
};

// AAC-LC, 48 kHz, stereo: the config every DVB-T2 receiver meets first.
const std::vector<uint8_t> kLcStereo48k = {0x11, 0x90};

// One LOAS frame, built field by field; every field can be set wrong.
struct Frame {
  bool sameStreamMux = false;
  uint32_t version = 0;
  uint32_t versionA = 0;
  uint32_t sameTimeFraming = 1;
  uint32_t subFrames = 0;
  uint32_t programs = 0;
  uint32_t layers = 0;
  // The AacConfig as (value, bit count) fields.
  std::vector<std::pair<uint32_t, int>> config = {{2, 5}, {3, 4}, {2, 4}, {0, 3}};
  uint32_t fillBits = 0;  // version 1 only
  uint32_t frameLengthType = 0;
  std::optional<uint32_t> otherDataBits;
  bool crc = false;
  std::vector<uint8_t> accessUnit = {0xDE, 0xAD, 0xBE, 0xEF};
  std::optional<uint32_t> statedPayloadLength;
  std::optional<uint32_t> statedLoasLength;
  size_t dropTail = 0;
  uint32_t sync = 0x2B7;

  std::vector<uint8_t> Build() const {
    BitWriter element;
    element.Put(sameStreamMux ? 1 : 0, 1);
    if (!sameStreamMux) {
      element.Put(version, 1);
      if (version == 1) {
        element.Put(versionA, 1);
        element.PutLatmValue(0xFF);  // taraBufferFullness
      }
      element.Put(sameTimeFraming, 1);
      element.Put(subFrames, 6);
      element.Put(programs, 4);
      element.Put(layers, 3);
      int configBits = 0;
      for (const auto& [value, bits] : config) configBits += bits;
      if (version == 1) element.PutLatmValue(static_cast<uint32_t>(configBits) + fillBits);
      for (const auto& [value, bits] : config) element.Put(value, bits);
      if (version == 1) element.Put(0, static_cast<int>(fillBits));
      element.Put(frameLengthType, 3);
      element.Put(0xFF, 8);  // latmBufferFullness
      element.Put(otherDataBits.has_value() ? 1 : 0, 1);
      if (otherDataBits.has_value()) {
        if (version == 1) {
          element.PutLatmValue(*otherDataBits);
        } else {
          element.Put(1, 1);  // escape: a second byte follows
          element.Put(*otherDataBits >> 8, 8);
          element.Put(0, 1);
          element.Put(*otherDataBits & 0xFF, 8);
        }
      }
      element.Put(crc ? 1 : 0, 1);
      if (crc) element.Put(0x5A, 8);
    }
    uint32_t length = statedPayloadLength.value_or(static_cast<uint32_t>(accessUnit.size()));
    while (length >= 255) {
      element.Put(255, 8);
      length -= 255;
    }
    element.Put(length, 8);
    for (uint8_t byte : accessUnit) element.Put(byte, 8);
    if (otherDataBits.has_value()) {
      // A hostile length is stated, not written out.
      for (uint32_t i = 0; i < std::min<uint32_t>(*otherDataBits, 4096); ++i) element.Put(1, 1);
    }
    std::vector<uint8_t> body = element.bytes();
    body.resize(body.size() - std::min(dropTail, body.size()));
    BitWriter loas;
    loas.Put(sync, 11);
    loas.Put(statedLoasLength.value_or(static_cast<uint32_t>(body.size())), 13);
    std::vector<uint8_t> frame = loas.bytes();
    frame.insert(frame.end(), body.begin(), body.end());
    return frame;
  }
};

TEST(LatmParserTest, WellFormedFramesGiveConfigAndAccessUnit) {
  struct Case {
    std::string name;
    Frame frame;
    std::vector<uint8_t> config;
  };
  std::vector<uint8_t> longUnit(600);
  for (size_t i = 0; i < longUnit.size(); ++i) longUnit[i] = static_cast<uint8_t>(i * 7);
  Frame versionOne;
  versionOne.version = 1;
  versionOne.fillBits = 5;
  Frame otherData;
  otherData.otherDataBits = 300;
  Frame versionOneOtherData = versionOne;
  versionOneOtherData.otherDataBits = 13;
  Frame withCrc;
  withCrc.crc = true;
  Frame longFrame;
  longFrame.accessUnit = longUnit;
  Frame heAac;  // explicit SBR: 24 kHz core in a 48 kHz stream, mono
  heAac.config = {{5, 5}, {6, 4}, {1, 4}, {3, 4}, {2, 5}, {0, 3}};
  Frame explicitRate;  // a rate given in 24 bits, and a core coder delay
  explicitRate.config = {{2, 5}, {15, 4}, {44056, 24}, {2, 4}, {0, 1}, {1, 1}, {0x1234, 14}, {0, 1}};
  const std::vector<Case> cases = {
      {"version 0", Frame{}, kLcStereo48k},
      {"version 1 with fill bits", versionOne, kLcStereo48k},
      {"other data after the unit", otherData, kLcStereo48k},
      {"version 1 other data", versionOneOtherData, kLcStereo48k},
      {"with CRC", withCrc, kLcStereo48k},
      {"unit longer than 255 bytes", longFrame, kLcStereo48k},
      {"explicit SBR", heAac, {0x2B, 0x09, 0x88, 0x00}},
      {"explicit rate and core coder delay", explicitRate, {0x17, 0x80, 0x56, 0x0C, 0x12, 0x91, 0xA0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LatmParser parser;
    ASSERT_EQ(parser.Parse(c.frame.Build()), LatmParser::Result::kFrame);
    EXPECT_EQ(parser.config(), c.config);
    EXPECT_EQ(parser.accessUnit(), c.frame.accessUnit);
  }
}

TEST(LatmParserTest, ConfigDescribesTheStream) {
  LatmParser parser;
  ASSERT_EQ(parser.Parse(Frame{}.Build()), LatmParser::Result::kFrame);
  EXPECT_EQ(parser.configInfo().objectType, 2);
  EXPECT_EQ(parser.configInfo().sampleRate, 48000);
  EXPECT_EQ(parser.configInfo().channels, 2);
}

TEST(LatmParserTest, FrameWithoutConfigUsesTheLastOne) {
  Frame same;
  same.sameStreamMux = true;
  same.accessUnit = {1, 2, 3};
  LatmParser parser;
  EXPECT_EQ(parser.Parse(same.Build()), LatmParser::Result::kNoConfig);
  ASSERT_EQ(parser.Parse(Frame{}.Build()), LatmParser::Result::kFrame);
  ASSERT_EQ(parser.Parse(same.Build()), LatmParser::Result::kFrame);
  EXPECT_EQ(parser.config(), kLcStereo48k);
  EXPECT_EQ(parser.accessUnit(), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(LatmParserTest, RefusesWhatItCannotReadSafely) {
  struct Case {
    std::string name;
    Frame frame;
    LatmParser::Result result;
  };
  const auto with = [](auto change) {
    Frame frame;
    change(frame);
    return frame;
  };
  using R = LatmParser::Result;
  const std::vector<Case> cases = {
      {"no sync word", with([](Frame& f) { f.sync = 0x2B6; }), R::kMalformed},
      {"LOAS length beyond the data", with([](Frame& f) { f.statedLoasLength = 40; }), R::kMalformed},
      {"LOAS length short of the data", with([](Frame& f) { f.statedLoasLength = 3; }), R::kMalformed},
      {"unit longer than the frame", with([](Frame& f) { f.statedPayloadLength = 200; }), R::kMalformed},
      {"unit longer than 255 bytes cut short", with([](Frame& f) {
         f.accessUnit.assign(300, 0xAA);
         f.dropTail = 10;
       }),
       R::kMalformed},
      {"config cut short", with([](Frame& f) {
         f.dropTail = 8;
         f.accessUnit.clear();
       }),
       R::kMalformed},
      {"reserved sample-rate index", with([](Frame& f) { f.config[1].first = 13; }), R::kMalformed},
      {"hostile other-data length", with([](Frame& f) {
         f.version = 1;
         f.otherDataBits = 0xFFFFFFFF;
       }),
       R::kMalformed},
      {"audioMuxVersionA", with([](Frame& f) {
         f.version = 1;
         f.versionA = 1;
       }),
       R::kUnsupported},
      {"sub-frames", with([](Frame& f) { f.subFrames = 1; }), R::kUnsupported},
      {"two programs", with([](Frame& f) { f.programs = 1; }), R::kUnsupported},
      {"two layers", with([](Frame& f) { f.layers = 1; }), R::kUnsupported},
      {"separate time framing", with([](Frame& f) { f.sameTimeFraming = 0; }), R::kUnsupported},
      {"fixed frame length", with([](Frame& f) { f.frameLengthType = 1; }), R::kUnsupported},
      {"error-resilient AAC", with([](Frame& f) { f.config[0].first = 17; }), R::kUnsupported},
      {"channels from a program config element", with([](Frame& f) { f.config[2].first = 0; }), R::kUnsupported},
      {"escaped object type", with([](Frame& f) {
         f.config = {{31, 5}, {0, 6}, {3, 4}, {2, 4}, {0, 3}};
       }),
       R::kUnsupported},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LatmParser parser;
    EXPECT_EQ(parser.Parse(c.frame.Build()), c.result);
  }
}

TEST(LatmParserTest, EveryTruncationIsRefusedWithoutReadingPastTheEnd) {
  Frame frame;
  frame.otherDataBits = 20;
  frame.crc = true;
  const std::vector<uint8_t> whole = frame.Build();
  for (size_t size = 0; size < whole.size(); ++size) {
    // A copy of exactly `size` bytes, so a sanitizer sees any overread.
    const std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
    LatmParser parser;
    EXPECT_EQ(parser.Parse(cut), LatmParser::Result::kMalformed) << size;
  }
}

}  // namespace
}  // namespace quorvex::engine
