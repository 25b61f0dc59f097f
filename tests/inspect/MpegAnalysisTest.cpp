// The MPEG frame header analysis on crafted bytes.
#include "inspect/MpegAnalysis.h"

#include <gtest/gtest.h>

#include <vector>

namespace brindle::inspect {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes frameAt(std::size_t position, Bytes header, std::size_t size = 200) {
  Bytes bytes(std::max(size, position + header.size()), 0);
  std::copy(header.begin(), header.end(), bytes.begin() + static_cast<std::ptrdiff_t>(position));
  return bytes;
}

/// A frame header with a "Xing" header counting `frames` frames.
Bytes xing(std::int64_t frames) {
  Bytes bytes = frameAt(0, {0xFF, 0xFB, 0x90, 0x64});
  const std::string tag = "Xing";
  std::copy(tag.begin(), tag.end(), bytes.begin() + 36);
  bytes[44] = 0x7F;  // ignored
  bytes[45] = static_cast<std::uint8_t>(frames >> 16);
  bytes[46] = static_cast<std::uint8_t>(frames >> 8);
  bytes[47] = static_cast<std::uint8_t>(frames);
  return bytes;
}

TEST(ReadMPEG, DecodesACommonHeader) {
  const Mp3Info info = ReadMPEG(frameAt(0, {0xFF, 0xFB, 0x90, 0x64}), 4000000);
  EXPECT_EQ(info.MPEG, "MPEG 1.0");
  EXPECT_EQ(info.Layer, "layer 3");
  EXPECT_EQ(info.CRC, "No");
  EXPECT_EQ(info.Bitrate, "128");
  EXPECT_EQ(info.Frequency, "44100 Hz");
  EXPECT_EQ(info.Channels, "Joint Stereo");
  EXPECT_EQ(info.Copyright, "No");
  EXPECT_EQ(info.Original, "Yes");
  EXPECT_EQ(info.Emphasis, "None");
  EXPECT_EQ(info.LengthInSeconds, "250");
  EXPECT_EQ(info.FileSize, "4000000");
}

TEST(ReadMPEG, VersionTwoLayersAndFlags) {
  const Mp3Info info = ReadMPEG(frameAt(10, {0xFF, 0xF4, 0x85, 0xCF}), 1000);
  EXPECT_EQ(info.MPEG, "MPEG 2.0");
  EXPECT_EQ(info.Layer, "layer 2");
  EXPECT_EQ(info.CRC, "Yes");
  EXPECT_EQ(info.Bitrate, "64");
  EXPECT_EQ(info.Frequency, "24000 Hz");
  EXPECT_EQ(info.Channels, "Mono");
  EXPECT_EQ(info.Copyright, "Yes");
  EXPECT_EQ(info.Original, "Yes");
  EXPECT_EQ(info.Emphasis, "CITT j. 17");
}

TEST(BitrateFor, BothVersionsEveryIndex) {
  const int v1[] = {24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 320};
  const int v2[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176};
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(bitrateFor(true, i), v1[i]) << i;
    EXPECT_EQ(bitrateFor(false, i), v2[i]) << i;
  }
}

TEST(ReadMPEG, XingFrameCounts) {
  EXPECT_EQ(xingSeconds(57), 0);
  EXPECT_EQ(xingSeconds(58), 1);
  EXPECT_EQ(xingSeconds(95), 1);
  EXPECT_EQ(xingSeconds(96), 2);
  EXPECT_EQ(xingSeconds(1000), 25);
  const Mp3Info info = ReadMPEG(xing(1000), 1000000);
  EXPECT_EQ(info.LengthInSeconds, "25");
  EXPECT_EQ(info.Bitrate, "320");  // 8,000,000 bits over 25 s
  EXPECT_EQ(info.Channels, "Joint Stereo");
}

TEST(ReadMPEG, XingWithoutLengthStopsAfterTheLength) {
  const Mp3Info info = ReadMPEG(xing(57), 1000000);
  EXPECT_EQ(info.LengthInSeconds, "0");
  EXPECT_EQ(info.Bitrate, "128");
  EXPECT_EQ(info.Channels, "");
  EXPECT_EQ(info.FileSize, "");
}

TEST(ReadMPEG, ZeroBitrateStopsBeforeTheLength) {
  const Mp3Info info = ReadMPEG(frameAt(0, {0xFF, 0xF3, 0x04, 0x00}), 1000);
  EXPECT_EQ(info.MPEG, "MPEG 2.0");
  EXPECT_EQ(info.Bitrate, "0");
  EXPECT_EQ(info.LengthInSeconds, "");
  EXPECT_EQ(info.FileSize, "");
}

TEST(ReadMPEG, SearchWindowEndsAt4091) {
  const Mp3Info late = ReadMPEG(frameAt(4092, {0xFF, 0xFB, 0x90, 0x64}, 4096), 5000);
  EXPECT_EQ(late.MPEG, "");
  EXPECT_EQ(late.FileSize, "5000");
  const Mp3Info last = ReadMPEG(frameAt(4091, {0xFF, 0xFB, 0x90, 0x64}, 4096), 5000);
  EXPECT_EQ(last.MPEG, "MPEG 1.0");
}

TEST(HoldsFirstFrame, OnlyWhenEveryByteReadIsThere) {
  EXPECT_TRUE(holdsFirstFrame(frameAt(10, {0xFF, 0xFB, 0x90, 0x64}, 58)));
  EXPECT_FALSE(holdsFirstFrame(frameAt(10, {0xFF, 0xFB, 0x90, 0x64}, 57)));
  EXPECT_FALSE(holdsFirstFrame(Bytes(100, 0)));
  // Same answer as on the whole window, whatever follows.
  Bytes window = xing(1000);
  window.resize(4096, 0x55);
  const Bytes start(window.begin(), window.begin() + 48);
  EXPECT_EQ(ReadMPEG(start, 1000000).LengthInSeconds, ReadMPEG(window, 1000000).LengthInSeconds);
}

TEST(ReadMPEG, XingElsewhereIsNotFound) {
  Bytes bytes = frameAt(0, {0xFF, 0xFB, 0x90, 0xC4});
  const std::string tag = "Xing";
  std::copy(tag.begin(), tag.end(), bytes.begin() + 21);
  EXPECT_EQ(ReadMPEG(bytes, 160000).LengthInSeconds, "10");
}

}  // namespace
}  // namespace brindle::inspect
