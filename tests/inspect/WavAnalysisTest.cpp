// The WAV chunk walk on crafted files, the number-base conversion, and the component's WAV values.
#include "inspect/WavAnalysis.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "inspect/ID3.h"
#include "inspect/Readout.h"
#include "platform/testing/TestPlatform.h"
#include "tests/support/TempDir.h"

namespace brindle::inspect {
namespace {

using Bytes = std::vector<std::uint8_t>;

/// Little-endian fields, each a value and its width in bytes.
Bytes little(std::initializer_list<std::pair<std::uint64_t, int>> fields) {
  Bytes bytes;
  for (const auto& [value, width] : fields) {
    for (int i = 0; i < width; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  return bytes;
}

Bytes operator+(Bytes head, const Bytes& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

/// A chunk: id, 32-bit size (the body's, unless given), body, pad byte.
Bytes chunk(const std::string& id, const Bytes& body, std::int64_t size = -1) {
  const auto declared = size < 0 ? body.size() : static_cast<std::uint64_t>(size);
  return Bytes(id.begin(), id.end()) + little({{declared, 4}}) + body + Bytes(body.size() % 2, 0);
}

/// A "fmt " chunk with every field given, consistent or not.
Bytes rawFormat(std::uint64_t channels, std::uint64_t rate, std::uint64_t byteRate,
                std::uint64_t align, std::uint64_t bits, std::uint16_t tag = 1, Bytes extra = {}) {
  return chunk(
      "fmt ",
      little({{tag, 2}, {channels, 2}, {rate, 4}, {byteRate, 4}, {align, 2}, {bits, 2}}) + extra);
}

Bytes format(std::uint16_t tag, int channels, std::uint32_t rate, int bits,
             std::uint16_t subFormat = 0) {
  const auto align = static_cast<std::uint64_t>(channels * bits / 8);
  const auto b = static_cast<std::uint64_t>(bits);
  const Bytes guidRest = {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
  const Bytes extensible =
      tag == 0xFFFE ? little({{22, 2}, {b, 2}, {3, 4}, {subFormat, 2}}) + guidRest : Bytes{};
  return rawFormat(static_cast<std::uint64_t>(channels), rate, rate * align, align, b, tag,
                   extensible);
}

Bytes wave(const std::vector<Bytes>& chunks, const char* marker = "RIFF") {
  Bytes body = {'W', 'A', 'V', 'E'};
  for (const Bytes& c : chunks) body = body + c;
  return Bytes(marker, marker + 4) + little({{body.size(), 4}}) + body;
}

/// Format, frequency, channels, bits, bit rate, data bytes, milliseconds and seconds.
std::string summary(const WavInfo& info) {
  std::ostringstream out;
  out << info.format << "|" << info.frequency << "|" << info.channels << "|" << info.bits << "|"
      << info.bitrate << "|" << info.dataBytes << "|" << info.milliseconds << "|" << info.seconds;
  return out.str();
}

TEST(ReadWAVHeader, EveryShapeOfFile) {
  const auto data = [](std::size_t size) { return chunk("data", Bytes(size)); };
  // clang-format off
  const std::pair<Bytes, std::string> rows[] = {
      {wave({format(1, 2, 44100, 16), data(176400)}), "PCM|44100|2|16|1411200|176400|1000|1"},
      {wave({chunk("JUNK", Bytes(28)), chunk("LIST", Bytes(3)), format(1, 1, 8000, 8),
             chunk("odd ", Bytes(5)), data(12000)}), "PCM|8000|1|8|64000|12000|1500|2"},
      {wave({format(3, 2, 48000, 32), data(96000)}), "IEEE float|48000|2|32|3072000|96000|250|0"},
      {wave({format(0xFFFE, 2, 96000, 24, 1), data(57600)}), "extensible PCM|96000|2|24|4608000|57600|100|0"},
      {wave({format(0xFFFE, 1, 22050, 32, 3), data(88200)}),
       "extensible IEEE float|22050|1|32|705600|88200|1000|1"},
      {wave({data(32000), format(1, 1, 16000, 16)}), "PCM|16000|1|16|256000|32000|1000|1"},
      {wave({format(1, 1, 16000, 16), chunk("data", Bytes(3200), 0x7FFFFFF0)}),
       "PCM|16000|1|16|256000|3200|100|0"},
      {wave({format(1, 2, 44100, 16), data(1764000), chunk("LIST", Bytes(1000000))}),
       "PCM|44100|2|16|1411200|1764000|10000|10"},
      {wave({format(0x55, 2, 44100, 0), data(100)}), "format 0x0055|44100|2|0|0|100|0|0"},
  };
  // clang-format on
  for (const auto& [file, expected] : rows) {
    EXPECT_TRUE(ReadWAVHeader(file).riff) << expected;
    EXPECT_EQ(summary(ReadWAVHeader(file)), expected);
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
  const Bytes ds64 = little({{dataBytes + 100, 8}, {dataBytes, 8}, {dataBytes / 6, 8}, {0, 4}});
  const Bytes head =
      wave({chunk("ds64", ds64), format(1, 2, 48000, 24)}, "RF64") + chunk("data", {}, 0xFFFFFFFF);
  const WavInfo info = ReadWAVHeader(sparse(head), head.size() + dataBytes);
  EXPECT_TRUE(info.riff && info.rf64);
  EXPECT_EQ(summary(info), "PCM|48000|2|24|2304000|6442450944|22369621|22370");
  // The "ds64" size is clamped to the file too.
  EXPECT_EQ(ReadWAVHeader(sparse(head), head.size() + 1000).dataBytes, 1000u);
}

TEST(ReadWAVHeader, AbsurdValuesAreClampedNotOverflowed) {
  // Block align 1 with 4 GB of data per second.
  const Bytes head =
      wave({rawFormat(0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 1, 0xFFFF), chunk("data", {}, 0xFFFFFFFE)});
  const WavInfo info = ReadWAVHeader(sparse(head), head.size() + 0xFFFFFFFEULL);
  const auto n = [](std::int64_t value) { return std::to_string(value) + "|"; };
  EXPECT_EQ(n(info.frequency) + n(info.bitrate) + n(info.channels) + n(info.seconds),
            "2147483647|2147483647|65535|1|");
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
  EXPECT_TRUE(info.riff && !info.hasFormat && info.seconds == 0);
}

TEST(ReadWAVHeader, NotRiffWaveGivesZeros) {
  const Bytes riffx = wave({format(1, 2, 44100, 16), chunk("data", Bytes(100))}, "RIFX");
  const WavInfo notRiff = ReadWAVHeader(riffx);
  EXPECT_FALSE(notRiff.riff);
  EXPECT_EQ(summary(notRiff), "|0|0|0|0|0|0|0");
  Bytes avi = wave({format(1, 2, 44100, 16)});
  std::memcpy(avi.data() + 8, "AVI ", 4);
  EXPECT_FALSE(ReadWAVHeader(avi).riff);
  EXPECT_FALSE(ReadWAVHeader(Bytes{}).riff);
  const WavInfo noChannels =
      ReadWAVHeader(wave({format(1, 0, 44100, 16), chunk("data", Bytes(100))}));
  EXPECT_EQ(noChannels.bitrate + noChannels.seconds, 0);
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

TEST(ComponentWav, PropertiesReadoutAndNoStaleValues) {
  testsupport::TempDir folder;
  platform::testing::TestPlatform test;
  ID3 component{test.fileSystem, test.clock, test.dialogs};
  component.setDecimalSeparator('.');
  component.setErrorHandler([](std::int16_t, const platform::Error&) { ADD_FAILURE(); });
  const auto file = [&](const std::string& name, const Bytes& bytes) {
    return folder.write(name, std::string(bytes.begin(), bytes.end()));
  };
  const Bytes stereo = wave({format(1, 2, 44100, 16), chunk("data", Bytes(1764000))});
  EXPECT_TRUE(component.ReadWAV(file("a.wav", stereo)));
  EXPECT_EQ(wavReadout(component),
            (std::vector<std::string>{"Size: 1.68 MB   (1764044 B)", "Lenght: 0:10   (10 sec)",
                                      "Bitrate: 1411200", "Bits: 16", "Channels: 2",
                                      "Frequency: 44100"}));
  EXPECT_EQ(component.WavFormat + component.FileName, "PCM");
  // A file that is no RIFF file has no chunks to read anything from.
  Bytes junk = stereo;
  std::memcpy(junk.data(), "JUNK", 4);
  EXPECT_TRUE(component.ReadWAV(file("b.wav", junk)));
  EXPECT_EQ(
      component.WavFormat + std::to_string(component.WAVFrequency + component.WAVBitrate +
                                           component.WAVLenghtInSeconds + component.WAVChannels),
      "0");

  EXPECT_TRUE(component.ReadWAV(
      file("c.wav", wave({format(1, 1, 16000, 16), chunk("data", Bytes(32000 * 3 + 956))}))));
  EXPECT_EQ(
      std::to_string(component.WAVFrequency) + " " + std::to_string(component.WAVLenghtInSeconds),
      "16000 3");
  const platform::Status missing = component.ReadWAV(folder.file("none.wav"));
  ASSERT_FALSE(missing);
  EXPECT_EQ(std::to_string(missing.error().code) + " " + missing.error().message,
            std::to_string(ENOENT) + " cannot open the file: No such file or directory");
  EXPECT_EQ(component.WAVFrequency + component.WAVFileSizeInBytes, 0);
}

}  // namespace
}  // namespace brindle::inspect
