// The MPEG frame analysis on crafted frames: every version and layer, the frame search, VBR
// headers.
#include "inspect/MpegAnalysis.h"

#include <gtest/gtest.h>

#include <vector>

namespace brindle::inspect {
namespace {

using Bytes = std::vector<std::uint8_t>;

/// `count` frames with this header, each as long as the header says, the rest zero.
Bytes frames(Bytes header, int count) {
  const auto parsed = parseFrameHeader(header);
  EXPECT_TRUE(parsed.has_value());
  Bytes bytes;
  for (int i = 0; i < count; ++i) {
    Bytes frame(static_cast<std::size_t>(parsed->frameLength()), 0);
    std::copy(header.begin(), header.end(), frame.begin());
    bytes.insert(bytes.end(), frame.begin(), frame.end());
  }
  return bytes;
}

void put(Bytes& bytes, std::size_t at, const std::string& text) {
  std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

void put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

Mp3Info analyse(const Bytes& bytes) {
  return ReadMPEG(bytes, AudioExtent{0, bytes.size(), bytes.size()});
}

/// The four header bytes of a big-endian value.
Bytes header(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
          static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

TEST(ReadMPEG, EveryVersionAndLayerWithItsOwnTables) {
  const std::tuple<std::uint32_t, int, int, const char*> rows[] = {
      {0xFFFB9064, 417, 1152, "MPEG 1.0|layer 3|128|44100 Hz|Joint Stereo"},
      {0xFFFB9264, 418, 1152, "MPEG 1.0|layer 3|128|44100 Hz|Joint Stereo"},
      {0xFFFD9400, 480, 1152, "MPEG 1.0|layer 2|160|48000 Hz|Stereo"},
      {0xFFFF98C0, 432, 384, "MPEG 1.0|layer 1|288|32000 Hz|Mono"},
      {0xFFF39480, 240, 576, "MPEG 2.0|layer 3|80|24000 Hz|2 Channel"},
      {0xFFF588C0, 576, 1152, "MPEG 2.0|layer 2|64|16000 Hz|Mono"},
      {0xFFF78040, 276, 384, "MPEG 2.0|layer 1|128|22050 Hz|Joint Stereo"},
      {0xFFE358C0, 360, 576, "MPEG 2.5|layer 3|40|8000 Hz|Mono"},
      {0xFFE350C0, 261, 576, "MPEG 2.5|layer 3|40|11025 Hz|Mono"},
      {0xFFE354C0, 240, 576, "MPEG 2.5|layer 3|40|12000 Hz|Mono"},
  };
  for (const auto& [bytes, frameLength, samples, fields] : rows) {
    SCOPED_TRACE(fields);
    const auto parsed = parseFrameHeader(header(bytes));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->frameLength(), frameLength);
    EXPECT_EQ(parsed->samplesPerFrame(), samples);
    const Mp3Info info = analyse(frames(header(bytes), 10));
    EXPECT_EQ(info.MPEG + "|" + info.Layer + "|" + info.Bitrate + "|" + info.Frequency + "|" +
                  info.Channels,
              fields);
    EXPECT_FALSE(info.vbr);
  }
}

TEST(ReadMPEG, DecodesTheFlags) {
  const Mp3Info info = analyse(frames({0xFF, 0xFA, 0x90, 0x0F}, 3));
  EXPECT_EQ(info.CRC + info.Copyright + info.Original + "|" + info.Emphasis + "|" + info.Channels,
            "YesYesYes|CITT j. 17|Stereo");
  const Mp3Info plain = analyse(frames(header(0xFFFB9064), 3));
  EXPECT_EQ(plain.CRC + plain.Copyright + plain.Original + "|" + plain.Emphasis, "NoNoYes|None");
}

TEST(ParseFrameHeader, ReservedAndFreeFormatValuesAreNoHeader) {
  // Version 01, layer 00, bit rate 15, free format, sampling 11, no sync.
  for (std::uint32_t value :
       {0xFFEB9064u, 0xFFF99064u, 0xFFFBF064u, 0xFFFB0C64u, 0xFFFB9C64u, 0xFFDB9064u}) {
    EXPECT_FALSE(parseFrameHeader(header(value))) << std::hex << value;
  }
  EXPECT_FALSE(parseFrameHeader(Bytes{0xFF, 0xFB, 0x90}));
}

TEST(ReadMPEG, AFrameCountsOnlyWhenTheNextFollowsOrTheAudioEnds) {
  // A 32 kHz header whose frame is not followed by another, then the real 44.1 kHz frames.
  Bytes bytes = {0x00, 0xFF, 0xFB, 0x98, 0x64, 0x11, 0x22};
  const Bytes audio = frames(header(0xFFFB9064), 5);
  bytes.insert(bytes.end(), audio.begin(), audio.end());
  EXPECT_EQ(analyse(bytes).Frequency, "44100 Hz");
  EXPECT_EQ(analyse(bytes).audioBytes, static_cast<std::int64_t>(audio.size()));
  // A next header of another stream does not confirm a frame either.
  Bytes mixed = frames(header(0xFFFB9864), 1);
  const Bytes other = frames(header(0xFFF39480), 4);
  mixed.insert(mixed.end(), other.begin(), other.end());
  EXPECT_EQ(analyse(mixed).Frequency, "24000 Hz");
  Bytes one = frames(header(0xFFFB9064), 1);
  EXPECT_EQ(analyse(one).MPEG, "MPEG 1.0");
  one.pop_back();
  EXPECT_EQ(analyse(one).MPEG, "");
  const Mp3Info none = ReadMPEG(Bytes(5000, 0xFF), AudioExtent{0, 5000, 6000});
  EXPECT_EQ(none.MPEG + none.Bitrate + none.LengthInSeconds + "|" + none.FileSize, "|6000");
}

TEST(ReadMPEG, ConstantBitRateLengthCountsOnlyTheAudio) {
  // 4,000,000 bytes of 128 kbit/s audio between a 100,000-byte tag and 300 bytes of tags: 250 s.
  const Mp3Info info =
      ReadMPEG(frames(header(0xFFFB9064), 3), AudioExtent{100000, 4100000, 4100300});
  // 9570 frames: 4,000,000 × 8 × 44100 ÷ (128,000 × 1152).
  EXPECT_EQ(std::to_string(info.lengthInMilliseconds) + "|" + info.LengthInSeconds + "|" +
                std::to_string(info.audioBytes) + "|" + info.Bitrate + "|" + info.FileSize + "|" +
                std::to_string(info.frames),
            "250000|250|4000000|128|4100300|9570");
}

/// A first frame with a "Xing"/"Info" header (counts, maybe a LAME tag), then three frames.
Bytes xingFile(Bytes header, std::size_t offset, const std::string& kind, std::uint32_t count,
               std::uint32_t byteCount, bool lame) {
  Bytes bytes = frames(header, 4);
  put(bytes, offset, kind);
  put32(bytes, offset + 4, 0x0F);
  put32(bytes, offset + 8, count);
  put32(bytes, offset + 12, byteCount);
  if (lame) {
    const std::size_t tag = offset + 120;
    put(bytes, tag, "LAME3.100");
    put(bytes, tag + 21, "\x24\x03\xE8");  // delay 576, padding 1000 (0x240, 0x3E8)
  }
  return bytes;
}

TEST(ReadMPEG, XingHeaderOnlyAtTheOffsetOfVersionAndModeInLayer3) {
  // MPEG 1 stereo, MPEG 1 mono, MPEG 2 joint stereo, MPEG 2.5 mono; then wrong places.
  const std::tuple<std::uint32_t, std::size_t, bool> rows[] = {
      {0xFFFB9064, 36, true}, {0xFFFB90C4, 21, true},  {0xFFF39444, 21, true},
      {0xFFE394C4, 13, true}, {0xFFFB9064, 21, false}, {0xFFFD9400, 36, false}};
  for (const auto& [bytes, offset, vbr] : rows) {
    SCOPED_TRACE(offset);
    const auto parsed = parseFrameHeader(header(bytes));
    const Mp3Info info = analyse(xingFile(header(bytes), offset, "Xing", 1000, 500000, false));
    EXPECT_EQ(info.vbr, vbr);
    EXPECT_EQ(info.frames, vbr ? 1000 : 4);
    if (vbr) {
      EXPECT_EQ(info.lengthInMilliseconds,
                1000LL * parsed->samplesPerFrame() * 1000 / parsed->sampleRate);
    }
  }
}

TEST(ReadMPEG, VbrHeaderCountsLengthAndAverageBitRate) {
  const Bytes mpeg1 = header(0xFFFB9064);
  Bytes vbri = frames(mpeg1, 4);  // "VBRI" 32 bytes after the header
  put(vbri, 36, "VBRI");
  vbri[41] = 1;  // version
  put32(vbri, 46, 2000000);
  put32(vbri, 50, 2000);
  // Vbr, frames, delay, padding, milliseconds, seconds, bit rate. Xing: 1000 × 1152 samples at 44.1
  // kHz less 1576 of delay and padding is 26.086 s, 600,000 bytes over them 183.75 kbit/s; "Info"
  // is written for a constant bit rate; VBRI: 2000 × 1152 samples, 52.244 s, 16,000,000 bits.
  // clang-format off
  const std::tuple<Bytes, bool, int, int, int, int, const char*, const char*> rows[] = {
      {xingFile(mpeg1, 36, "Xing", 1000, 600417, true), true, 1000, 576, 1000, 26086, "26", "VBR 184"},
      {xingFile(mpeg1, 36, "Info", 100, 41800, true), false, 100, 576, 1000,
       (100 * 1152 - 1576) * 1000 / 44100, "2", "128"},
      {vbri, true, 2000, 0, 0, 52244, "52", "VBR 306"},
  };
  // clang-format on
  for (const auto& [bytes, vbr, count, delay, padding, ms, seconds, bitrate] : rows) {
    SCOPED_TRACE(bitrate);
    const Mp3Info info = analyse(bytes);
    EXPECT_EQ(info.vbr, vbr);
    EXPECT_EQ((std::vector<std::int64_t>{info.frames, info.encoderDelay, info.encoderPadding,
                                         info.lengthInMilliseconds}),
              (std::vector<std::int64_t>{count, delay, padding, ms}));
    EXPECT_EQ(info.LengthInSeconds + " " + info.Bitrate, std::string(seconds) + " " + bitrate);
  }
}

TEST(HoldsFirstFrame, OnlyWhenTheAnswerIsKnown) {
  const Bytes bytes = frames(header(0xFFFB9064), 3);
  const Bytes cut(bytes.begin(), bytes.begin() + 419);  // the next header is missing
  EXPECT_EQ(
      (std::vector<bool>{holdsFirstFrame(bytes, bytes.size()), holdsFirstFrame(bytes, 1000000),
                         holdsFirstFrame(cut, 1000000), holdsFirstFrame(Bytes(100, 0), 1000000),
                         holdsFirstFrame(Bytes(100, 0), 100)}),
      (std::vector<bool>{true, true, false, false, true}));
}

TEST(FindFirstFrame, SearchEndsAtTheSearchLength) {
  Bytes bytes(kMpegSearchLength, 0);
  const Bytes audio = frames(header(0xFFFB9064), 3);
  bytes.insert(bytes.end(), audio.begin(), audio.end());
  EXPECT_EQ(findFirstFrame(bytes, bytes.size()).outcome, FrameSearch::Outcome::NotFound);
  bytes.erase(bytes.begin());
  const FrameSearch found = findFirstFrame(bytes, bytes.size());
  EXPECT_TRUE(found.outcome == FrameSearch::Outcome::Found &&
              found.position == kMpegSearchLength - 1);
}

}  // namespace
}  // namespace brindle::inspect
