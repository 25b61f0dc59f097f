// The WAV header analysis and the number-base conversion.
#include "inspect/WavAnalysis.h"

#include <gtest/gtest.h>

#include <vector>

namespace brindle::inspect {
namespace {

std::vector<std::uint8_t> header(std::uint32_t rate, int channels, int bits,
                                 const std::string& marker = "RIFF") {
  std::vector<std::uint8_t> bytes(kWavHeaderSize, 0);
  std::copy(marker.begin(), marker.end(), bytes.begin());
  bytes[22] = static_cast<std::uint8_t>(channels);
  for (int i = 0; i < 4; ++i) bytes[24 + i] = static_cast<std::uint8_t>(rate >> (8 * i));
  bytes[34] = static_cast<std::uint8_t>(bits);
  return bytes;
}

TEST(ReadWAVHeader, CdQualityFile) {
  const WavInfo info = ReadWAVHeader(header(44100, 2, 16), 1764044);
  EXPECT_TRUE(info.riff);
  EXPECT_EQ(info.frequency, 44100);
  EXPECT_EQ(info.bitrate, 1411200);
  EXPECT_EQ(info.seconds, 10);  // 9.9946 rounded
}

TEST(ReadWAVHeader, WholeSampleRateIsRead) {
  EXPECT_EQ(ReadWAVHeader(header(16000, 1, 16), 100000).frequency, 16000);
  EXPECT_EQ(ReadWAVHeader(header(96000, 2, 24), 100000).frequency, 96000);
  const WavInfo odd = ReadWAVHeader(header(24000, 1, 8), 48000 + 1000);
  EXPECT_EQ(odd.frequency, 24000);
  EXPECT_EQ(odd.bitrate, 192000);
  EXPECT_EQ(odd.seconds, 2);
}

TEST(ReadWAVHeader, ShortFilesAndHalves) {
  EXPECT_EQ(ReadWAVHeader(header(8000, 1, 8), 1000).seconds, 0);
  EXPECT_EQ(ReadWAVHeader(header(100, 1, 8), 500).seconds, -5);
  // Halves go to the even neighbour.
  EXPECT_EQ(ReadWAVHeader(header(2000, 1, 8), 4000).seconds, 2);  // 1.5 → 2
  EXPECT_EQ(ReadWAVHeader(header(2000, 1, 8), 6000).seconds, 2);  // 2.5 → 2
}

TEST(ReadWAVHeader, LengthBeyondTheFieldIsClamped) {
  // 8 bits per second and a terabyte: about 2^40 seconds, more than 32 bits hold.
  const std::int64_t terabyte = std::int64_t{1} << 40;
  EXPECT_EQ(ReadWAVHeader(header(1, 1, 8), terabyte).seconds, INT32_MAX);
  // The largest length that still fits is kept as it is.
  EXPECT_EQ(ReadWAVHeader(header(1, 1, 8), std::int64_t{INT32_MAX} + 1000).seconds, INT32_MAX);
  EXPECT_EQ(ReadWAVHeader(header(1, 1, 8), std::int64_t{INT32_MAX} + 999).seconds, INT32_MAX - 1);
}

TEST(ReadWAVHeader, NotRiffOrNoBitrateGivesZeros) {
  const WavInfo notRiff = ReadWAVHeader(header(44100, 2, 16, "RIFX"), 100000);
  EXPECT_FALSE(notRiff.riff);
  EXPECT_EQ(notRiff.frequency, 0);
  EXPECT_EQ(notRiff.bitrate, 0);
  EXPECT_EQ(notRiff.seconds, 0);
  EXPECT_EQ(notRiff.channels, 2);
  EXPECT_EQ(notRiff.bits, 16);
  const WavInfo noChannels = ReadWAVHeader(header(44100, 0, 16), 100000);
  EXPECT_EQ(noChannels.frequency, 0);
  EXPECT_EQ(noChannels.seconds, 0);
  const WavInfo empty = ReadWAVHeader({}, 0);
  EXPECT_FALSE(empty.riff);
}

TEST(ConvertBase, Conversions) {
  EXPECT_EQ(ConvertBase("255", 10, 16), "FF");
  EXPECT_EQ(ConvertBase("0", 10, 16), "0");
  EXPECT_EQ(ConvertBase("68", 10, 16), "44");
  EXPECT_EQ(ConvertBase("ff", 16, 10), "255");
  EXPECT_EQ(ConvertBase("1G", 16, 10), "Error");
  EXPECT_EQ(ConvertBase("", 10, 16), "Error");
  EXPECT_EQ(ConvertBase("12", 1, 16), "Error");
  EXPECT_EQ(ConvertBase("12", 10, 37), "Error");
  EXPECT_EQ(ConvertBase("5", 10, 2), "101");
  EXPECT_EQ(ConvertBase("5", 10, 1), "0");  // base 1 ends instead of looping
}

}  // namespace
}  // namespace brindle::inspect
