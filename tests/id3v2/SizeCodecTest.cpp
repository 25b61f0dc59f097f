// The 7-bits-per-byte and plain size encodings.
#include "id3v2/SizeCodec.h"

#include <gtest/gtest.h>

namespace brindle::id3v2 {
namespace {

using Four = std::array<std::uint8_t, 4>;

TEST(ByteToLong, SevenBitsPerByteAndUnmaskedHighBytes) {
  EXPECT_EQ(ByteToLong(Four{0, 0, 1, 0}), 128);
  EXPECT_EQ(ByteToLong(Four{0, 0, 0, 0x80}), 128);
  EXPECT_EQ(ByteToLong(Four{0, 0, 2, 1}), 257);
  EXPECT_EQ(ByteToLong(Four{0x7F, 0x7F, 0x7F, 0x7F}), 268435455);
}

TEST(LongToByte, GroupsOfSevenBits) {
  EXPECT_EQ(LongToByte(257), (Four{0, 0, 2, 1}));
  EXPECT_EQ(LongToByte(200), (Four{0, 0, 1, 0x48}));
  EXPECT_EQ(LongToByte(268435455), (Four{0x7F, 0x7F, 0x7F, 0x7F}));
  EXPECT_EQ(LongToByte(268435456), (Four{0, 0, 0, 0}));  // high bits are lost
}

TEST(Shift, DirectionsAndOthers) {
  EXPECT_EQ(Shift(3, 7, 1), 384);
  EXPECT_EQ(Shift(385, 7, 2), 3);
  EXPECT_EQ(Shift(385, 7, 0), 0);
}

TEST(BigEndian32, RoundTrip) {
  EXPECT_EQ(readBigEndian32(Four{0, 0, 0, 0xC8}), 200u);
  EXPECT_EQ(bigEndian32(200), (Four{0, 0, 0, 0xC8}));
  EXPECT_EQ(bigEndian32(0x01020304), (Four{1, 2, 3, 4}));
}

}  // namespace
}  // namespace brindle::id3v2
