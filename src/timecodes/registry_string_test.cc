#include "timecodes/registry_string.h"

#include <gtest/gtest.h>

#include "timecodes/testing/fake_services.h"

namespace quorvex {
namespace {

using testing::FakeRegistryReader;

constexpr RegistryRoot kUser = RegistryRoot::kCurrentUser;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
const std::string kKey = "Software\\Test";

class ReadRegStringTest : public ::testing::Test {
 protected:
  std::string Read(const std::string& value) { return ReadRegString(registry_, kUser, kKey, value); }
  void Set(const std::string& name, uint32_t type, std::string data, int32_t status = 0,
           std::optional<uint32_t> reportedSize = std::nullopt) {
    registry_.SetValue(kUser, kKey, name, {type, std::move(data), status, reportedSize});
  }
  void TearDown() override { EXPECT_EQ(registry_.keysOpen, 0) << "every opened key is closed"; }

  FakeRegistryReader registry_;
};

TEST_F(ReadRegStringTest, MissingKeyOrValueGivesEmptyText) {
  EXPECT_EQ(ReadRegString(registry_, kUser, "Software\\Absent", "x"), "");
  Set("present", kRegSz, std::string("a\0", 2));
  EXPECT_EQ(Read("absent"), "");
  Set("empty", kRegSz, "");
  EXPECT_EQ(Read("empty"), "");
  Set("failing", kRegSz, std::string("a\0", 2), 5);
  EXPECT_EQ(Read("failing"), "");
}

TEST_F(ReadRegStringTest, PlainStringEndsAtItsFirstZero) {
  Set("path", kRegSz, std::string("C:\\Program Files\\MKVToolNix\0", 28));
  EXPECT_EQ(Read("path"), "C:\\Program Files\\MKVToolNix");
  Set("embedded", kRegSz, std::string("ab\0cd\0", 6));
  EXPECT_EQ(Read("embedded"), "ab");
  // Stored without a terminating zero: the doubled buffer still ends in zeros.
  Set("unterminated", kRegSz, "abc");
  EXPECT_EQ(Read("unterminated"), "abc");
}

TEST_F(ReadRegStringTest, OtherTypesKeepEveryReportedByte) {
  Set("expand", kRegExpandSz, std::string("%ProgramFiles%\\MKVToolNix\0", 26));
  EXPECT_EQ(Read("expand"), std::string("%ProgramFiles%\\MKVToolNix\0", 26));
  Set("binary", kRegBinary, std::string("\0\1\0\2", 4));
  EXPECT_EQ(Read("binary"), std::string("\0\1\0\2", 4));
}

TEST_F(ReadRegStringTest, BufferIsTwiceTheReportedSize) {
  // A value that grew between the two queries fits when it is at most twice
  // what the size query reported.
  Set("grew", kRegSz, std::string("abcdef\0", 7), 0, 4);
  EXPECT_EQ(Read("grew"), "abcdef");
  Set("grewTooMuch", kRegSz, std::string("abcdef\0", 7), 0, 3);
  EXPECT_EQ(Read("grewTooMuch"), "");
}

}  // namespace
}  // namespace quorvex
