// The WAV chunk walk on crafted files (PCM, IEEE float, extensible, RF64,
// chunks before "fmt " and odd sizes) and the number-base conversion.
#include "inspect/WavAnalysis.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace brindle::inspect {
namespace {

using Bytes = std::vector<std::uint8_t>;

void little(Bytes& bytes, std::uint64_t value, int width) {
  for (int i = 0; i < width; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

/// A chunk: id, 32-bit size (the body's, unless given), body, pad byte.
Bytes chunk(const std::string& id, const Bytes& body, std::int64_t size = -1) {
  Bytes bytes(id.begin(), id.end());
  little(bytes, size < 0 ? body.size() : static_cast<std::uint64_t>(size), 4);
  bytes.insert(bytes.end(), body.begin(), body.end());
  if (body.size() % 2 == 1) bytes.push_back(0);
  return bytes;
}

Bytes format(std::uint16_t tag, int channels, std::uint32_t rate, int bits,
             std::uint16_t subFormat = 0) {
  Bytes body;
  little(body, tag, 2);
  little(body, static_cast<std::uint64_t>(channels), 2);
  little(body, rate, 4);
  const auto align = static_cast<std::uint64_t>(channels * bits / 8);
  little(body, rate * align, 4);
  little(body, align, 2);
  little(body, static_cast<std::uint64_t>(bits), 2);
  if (tag == 0xFFFE) {
    little(body, 22, 2);
    little(body, static_cast<std::uint64_t>(bits), 2);
    little(body, 3, 4);
    little(body, subFormat, 2);
    const char guidRest[] = "\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71";
    body.insert(body.end(), guidRest, guidRest + 14);
  }
  return chunk("fmt ", body);
}

Bytes wave(const std::vector<Bytes>& chunks, const char* marker = "RIFF") {
  Bytes bytes(marker, marker + 4);
  std::size_t size = 4;
  for (const Bytes& c : chunks) size += c.size();
  little(bytes, size, 4);
  bytes.insert(bytes.end(), {'W', 'A', 'V', 'E'});
  for (const Bytes& c : chunks) bytes.insert(bytes.end(), c.begin(), c.end());
  return bytes;
}

/// Format, frequency, channels, bits, bit rate, data bytes and milliseconds.
std::string summary(const WavInfo& info) {
  std::ostringstream out;
  out << info.format << "|" << info.frequency << "|" << info.channels << "|" << info.bits << "|"
      << info.bitrate << "|" << info.dataBytes << "|" << info.milliseconds;
  return out.str();
}

TEST(ReadWAVHeader, EveryShapeOfFile) {
  const std::pair<Bytes, std::string> rows[] = {
      {wave({format(1, 2, 44100, 16), chunk("data", Bytes(176400))}),
       "PCM|44100|2|16|1411200|176400|1000"},
      {wave({chunk("JUNK", Bytes(28)), chunk("LIST", Bytes(3)), format(1, 1, 8000, 8),
             chunk("odd ", Bytes(5)), chunk("data", Bytes(12000))}),
       "PCM|8000|1|8|64000|12000|1500"},
      {wave({format(3, 2, 48000, 32), chunk("data", Bytes(96000))}),
       "IEEE float|48000|2|32|3072000|96000|250"},
      {wave({format(0xFFFE, 2, 96000, 24, 1), chunk("data", Bytes(57600))}),
       "extensible PCM|96000|2|24|4608000|57600|100"},
      {wave({format(0xFFFE, 1, 22050, 32, 3), chunk("data", Bytes(88200))}),
       "extensible IEEE float|22050|1|32|705600|88200|1000"},
      {wave({chunk("data", Bytes(32000)), format(1, 1, 16000, 16)}),
       "PCM|16000|1|16|256000|32000|1000"},
      {wave({format(1, 1, 16000, 16), chunk("data", Bytes(3200), 0x7FFFFFF0)}),
       "PCM|16000|1|16|256000|3200|100"},
      {wave(
           {format(1, 2, 44100, 16), chunk("data", Bytes(1764000)), chunk("LIST", Bytes(1000000))}),
       "PCM|44100|2|16|1411200|1764000|10000"},
      {wave({format(0x55, 2, 44100, 0), chunk("data", Bytes(100))}),
       "format 0x0055|44100|2|0|0|100|0"},
  };
  for (const auto& [file, expected] : rows) {
    const WavInfo info = ReadWAVHeader(file);
    EXPECT_TRUE(info.riff) << expected;
    EXPECT_EQ(summary(info), expected);
    EXPECT_EQ(info.seconds, (static_cast<std::int64_t>(info.milliseconds) + 500) / 1000)
        << expected;
  }
}

/// Reads the bytes of `head` and zeros after them, for a file of any length.
ReadBytesAt sparse(const Bytes& head) {
  return [head](std::uint64_t offset, std::span<std::uint8_t> buffer) -> std::size_t {
    for (std::size_t i = 0; i < buffer.size(); ++i) {
      buffer[i] = offset + i < head.size() ? head[static_cast<std::size_t>(offset + i)] : 0;
    }
    return buffer.size();
  };
}

TEST(ReadWAVHeader, Rf64SizesFromDs64) {
  // 6 GiB of 48 kHz stereo 24-bit audio: 6 × 2^30 ÷ 288,000 = 22369.6 s.
  const std::uint64_t dataBytes = 6ULL << 30;
  Bytes ds64;
  little(ds64, dataBytes + 100, 8);
  little(ds64, dataBytes, 8);
  little(ds64, dataBytes / 6, 8);
  little(ds64, 0, 4);
  Bytes head = wave({chunk("ds64", ds64), format(1, 2, 48000, 24)}, "RF64");
  Bytes dataHeader = chunk("data", {}, 0xFFFFFFFF);
  head.insert(head.end(), dataHeader.begin(), dataHeader.end());
  const WavInfo info = ReadWAVHeader(sparse(head), head.size() + dataBytes);
  EXPECT_TRUE(info.riff);
  EXPECT_TRUE(info.rf64);
  EXPECT_EQ(info.frequency, 48000);
  EXPECT_EQ(info.dataBytes, dataBytes);
  EXPECT_EQ(info.seconds, 22370);
  EXPECT_EQ(info.milliseconds, 22369621);
  // The "ds64" size is clamped to the file too.
  const WavInfo cut = ReadWAVHeader(sparse(head), head.size() + 1000);
  EXPECT_EQ(cut.dataBytes, 1000u);
}

/// A "fmt " chunk with every field given, consistent or not.
Bytes rawFormat(std::uint64_t channels, std::uint64_t rate, std::uint64_t byteRate,
                std::uint64_t align, std::uint64_t bits) {
  Bytes body;
  for (const auto& [value, width] : {std::pair{std::uint64_t{1}, 2},
                                     {channels, 2},
                                     {rate, 4},
                                     {byteRate, 4},
                                     {align, 2},
                                     {bits, 2}}) {
    little(body, value, width);
  }
  return chunk("fmt ", body);
}

TEST(ReadWAVHeader, AbsurdValuesAreClampedNotOverflowed) {
  // Block align 1 with 4 GB of data per second.
  const Bytes head =
      wave({rawFormat(0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 1, 0xFFFF), chunk("data", {}, 0xFFFFFFFE)});
  const WavInfo info = ReadWAVHeader(sparse(head), head.size() + 0xFFFFFFFEULL);
  EXPECT_EQ(info.frequency, INT32_MAX);
  EXPECT_EQ(info.bitrate, INT32_MAX);
  EXPECT_EQ(info.channels, 65535);
  EXPECT_EQ(info.seconds, 1);
  // Rate 1 Hz and block align 1 with 4 GB of data: more seconds than fit.
  const Bytes slow = wave({rawFormat(1, 1, 1, 1, 8), chunk("data", {}, 0xFFFFFFFE)});
  const WavInfo longest = ReadWAVHeader(sparse(slow), slow.size() + 0xFFFFFFFEULL);
  EXPECT_EQ(longest.seconds, INT32_MAX);
  EXPECT_EQ(longest.milliseconds, 0xFFFFFFFEULL * 1000);
}

TEST(ReadWAVHeader, ChunkWalkEndsOnAnyFile) {
  // Chunk sizes of 0 everywhere: the walk is bounded.
  Bytes zeros = wave({});
  for (int i = 0; i < 10000; ++i) {
    const Bytes empty = chunk("zero", {});
    zeros.insert(zeros.end(), empty.begin(), empty.end());
  }
  const WavInfo info = ReadWAVHeader(zeros);
  EXPECT_TRUE(info.riff);
  EXPECT_FALSE(info.hasFormat);
  EXPECT_EQ(info.seconds, 0);
}

TEST(ReadWAVHeader, NotRiffWaveGivesZeros) {
  const Bytes riffx = wave({format(1, 2, 44100, 16), chunk("data", Bytes(100))}, "RIFX");
  const WavInfo notRiff = ReadWAVHeader(riffx);
  EXPECT_FALSE(notRiff.riff);
  EXPECT_EQ(summary(notRiff) + std::to_string(notRiff.seconds), "|0|0|0|0|0|00");
  Bytes avi = wave({format(1, 2, 44100, 16)});
  std::memcpy(avi.data() + 8, "AVI ", 4);
  EXPECT_FALSE(ReadWAVHeader(avi).riff);
  EXPECT_FALSE(ReadWAVHeader(Bytes{}).riff);
  const WavInfo noChannels =
      ReadWAVHeader(wave({format(1, 0, 44100, 16), chunk("data", Bytes(100))}));
  EXPECT_EQ(noChannels.bitrate, 0);
  EXPECT_EQ(noChannels.seconds, 0);
}

TEST(ConvertBase, Conversions) {
  const std::tuple<const char*, int, int, const char*> rows[] = {
      {"255", 10, 16, "FF"},  {"0", 10, 16, "0"},      {"68", 10, 16, "44"},
      {"ff", 16, 10, "255"},  {"1G", 16, 10, "Error"}, {"", 10, 16, "Error"},
      {"12", 1, 16, "Error"}, {"12", 10, 37, "Error"}, {"5", 10, 2, "101"},
      {"5", 10, 1, "0"},  // base 1 ends instead of looping
  };
  for (const auto& [text, from, to, converted] : rows) {
    EXPECT_EQ(ConvertBase(text, from, to), converted) << text << " " << from << " " << to;
  }
}

}  // namespace
}  // namespace brindle::inspect
